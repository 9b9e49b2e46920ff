#include "export/PackageByContent.h"

#include "archive/ArchiveErrors.h"
#include "archive/TArchiveReader.h"
#include "engine/parts/PartLocator.h"

#include <sys/stat.h>

namespace exporting {
namespace {

// Far more than any content types part needs; a larger one is not read.
constexpr std::uint64_t kMaxContentTypesBytes = 4U << 20;

bool DeclaresContentType(archive::TArchiveReader& reader,
                         const archive::TZipHeaderInfo& member,
                         std::string_view contentType)
{
    try {
        const std::string text = reader.ExtractToMemory(member, kMaxContentTypesBytes);
        return text.find("\"" + std::string(contentType) + "\"") != std::string::npos ||
               text.find("'" + std::string(contentType) + "'") != std::string::npos;
    } catch (const std::exception&) {
        return false; // an unreadable part declares nothing, so the package is refused
    }
}

} // namespace

PackageContent PackageByContent(const std::filesystem::path& path, std::string_view contentType)
{
    struct stat st
    {
    };

    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return {};
    }
    archive::TArchiveReader reader;
    reader.ZipName = path;
    reader.DoProcessMessages = false;
    try {
        reader.OpenDirectory();
    } catch (const archive::EOle2Package&) {
        return {PackageContent::Kind::CompoundFile, {}, false};
    } catch (const archive::ENotAZipFile&) {
        return {};
    } catch (const std::exception& e) {
        return {PackageContent::Kind::Unreadable, e.what(), false};
    }
    if (const archive::TZipHeaderInfo* types = reader.FindMember(engine::kContentTypesName)) {
        return {PackageContent::Kind::OfficeOpenXml,
                {},
                !contentType.empty() && DeclaresContentType(reader, *types, contentType)};
    }
    if (reader.FindMember("mimetype") != nullptr) {
        return {PackageContent::Kind::OpenDocument, {}, false};
    }
    return {};
}

} // namespace exporting
