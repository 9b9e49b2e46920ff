#pragma once

#include "engine/package/ReadThumbnail.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>

// What the Details pane shows of a package beyond its row: read from the file itself, on a worker
// thread, since a package on a slow disk or a network share may take long to open.
namespace app {

// The largest thumbnail side decoded, and the memory a decode may take; a picture that declares
// more is refused before any pixel is decoded.
inline constexpr int kMaxThumbnailSide = 8192;
inline constexpr int kThumbnailAllocationLimitMiB = 64;
// Decoded pictures are reduced to this side on the worker, so the window only converts small ones.
inline constexpr int kShownThumbnailSide = 1024;

struct PackageDetails
{
    QImage Picture;      // null when there is none to show
    QString PictureNote; // why there is no picture; empty when there is one
    std::optional<qint64> Size;
    QDateTime Modified;
    QDateTime Created; // invalid where the file system keeps no creation time
    std::optional<std::size_t> MemberCount;
    QString ArchiveError; // why the members could not be listed (and the signature not checked)
    bool Signed = false;
};

// Decodes a thumbnail read by the engine: PNG and JPEG only, with bounded memory. A failure is
// left as the note: the engine's reason, "no preview in this format", or why decoding failed.
void DecodeThumbnail(const engine::Thumbnail& thumbnail, PackageDetails& details);

// Reads the file facts, the member list and the thumbnail of the package. Never throws.
[[nodiscard]] PackageDetails ReadPackageDetails(const std::string& path);

} // namespace app
