#include "app/details/PackageDetails.h"

#include "archive/TArchiveReader.h"
#include "editing/QtText.h"
#include "engine/package/OfficeExtensions.h"
#include "engine/base/PathMessage.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QImageReader>

#include <exception>

namespace app {

namespace {

const QString kNoPreview = QStringLiteral("no preview in this format");

// The format the content begins like; only these two are given to a decoder, so that no other
// image plugin ever parses what a package holds.
QByteArray SniffedFormat(const std::string& bytes)
{
    if (bytes.starts_with("\x89PNG\r\n\x1A\n")) {
        return QByteArrayLiteral("png");
    }
    if (bytes.starts_with("\xFF\xD8\xFF")) {
        return QByteArrayLiteral("jpeg");
    }
    return {};
}

void ReadFileFacts(const std::string& path, PackageDetails& details)
{
    const QFileInfo file(editing::ToQString(path));
    if (!file.exists()) {
        return;
    }
    details.Size = file.size();
    details.Modified = file.lastModified();
    details.Created = file.birthTime();
}

// The members, the signature and the thumbnail, from one reading of the package's directory.
void ReadArchive(const std::string& path, PackageDetails& details)
{
    try {
        archive::TArchiveReader reader;
        reader.ZipName = path;
        reader.DoProcessMessages = false;
        reader.OpenDirectory();
        details.MemberCount = reader.Count();
        details.Signed = engine::HasDigitalSignature(reader);
        DecodeThumbnail(engine::ReadThumbnail(reader), details);
        return;
    } catch (const std::exception& e) {
        details.ArchiveError = editing::ToQString(engine::WithoutPath(e.what(), path));
    } catch (...) {
        details.ArchiveError = QStringLiteral("the package cannot be read");
    }
    details.PictureNote = details.ArchiveError;
}

} // namespace

void DecodeThumbnail(const engine::Thumbnail& thumbnail, PackageDetails& details)
{
    if (!thumbnail.Ok()) {
        details.PictureNote = editing::ToQString(thumbnail.Error);
        return;
    }
    const QByteArray format = SniffedFormat(thumbnail.Bytes);
    if (format.isEmpty()) {
        details.PictureNote = kNoPreview;
        return;
    }
    // The bytes stay where the engine put them; the buffer only reads them.
    const QByteArray bytes =
        QByteArray::fromRawData(thumbnail.Bytes.data(), static_cast<qsizetype>(thumbnail.Bytes.size()));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(kThumbnailAllocationLimitMiB);
    const QSize declared = reader.size();
    if (!declared.isValid()) {
        details.PictureNote = QStringLiteral("the thumbnail is damaged: its header cannot be read");
        return;
    }
    if (declared.width() > kMaxThumbnailSide || declared.height() > kMaxThumbnailSide) {
        details.PictureNote =
            QStringLiteral("the thumbnail declares %1 by %2 pixels, more than a thumbnail may have")
                .arg(declared.width())
                .arg(declared.height());
        return;
    }
    QImage picture;
    if (!reader.read(&picture)) {
        details.PictureNote = QStringLiteral("the thumbnail is damaged: %1").arg(reader.errorString());
        return;
    }
    if (picture.width() > kShownThumbnailSide || picture.height() > kShownThumbnailSide) {
        picture = picture.scaled(kShownThumbnailSide, kShownThumbnailSide, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
    }
    details.Picture = std::move(picture);
}

PackageDetails ReadPackageDetails(const std::string& path)
{
    PackageDetails details;
    ReadFileFacts(path, details);
    ReadArchive(path, details);
    return details;
}

} // namespace app
