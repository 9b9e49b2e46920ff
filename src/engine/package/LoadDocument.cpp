#include "engine/package/LoadDocument.h"

#include "archive/MemberNameKey.h"
#include "engine/base/PathMessage.h"
#include "engine/parts/CustomPropertiesPart.h"
#include "engine/parts/PartLocator.h"
#include "engine/parts/ReadProperties.h"
#include "engine/record/EditState.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

namespace engine {

namespace {

using PartReader = void (*)(DocumentRecord&, const std::string&);

// Reads one property part straight from the archive into the record. A failure is collected, not
// thrown, so that the other part is still read.
void ReadPart(archive::TArchiveReader& reader,
              const archive::TZipHeaderInfo* member,
              PartReader read,
              DocumentRecord& record,
              std::vector<std::string>& errors)
{
    if (member == nullptr) {
        return; // a missing part is no failure: its properties stay empty
    }
    try {
        read(record, reader.ExtractToMemory(*member, kMaxPartBytes));
    } catch (const std::exception& e) {
        errors.push_back(member->Name + ": " + e.what());
    }
}

std::string Joined(const std::vector<std::string>& messages)
{
    std::string text;
    for (const std::string& message : messages) {
        text += (text.empty() ? "" : "; ") + message;
    }
    return text;
}

} // namespace

DocumentOutcome LoadDocument(DocumentRecord& record)
{
    ClearProperties(record);
    record.LastError.clear();
    record.ScratchFolder.clear(); // loading never unpacks to disk
    std::vector<std::string> errors;
    archive::TArchiveReader reader;
    try {
        reader.ZipName = record.FullPath;
        reader.DoProcessMessages = false;
        reader.OpenDirectory();
        if (reader.Count() == 0) {
            // An empty file or an empty ZIP archive: said now, not first when a save fails on it.
            throw std::runtime_error("the package holds no presentation: the archive has no members");
        }
        // Readers disagree on which of two members of one name a name means, so a property part
        // under a duplicated name shows nothing rather than what other programs may not show.
        std::unordered_set<std::string> ambiguous;
        for (const std::string& name : archive::DuplicateMemberNames(reader.Members())) {
            errors.push_back("two members named " + name);
            ambiguous.insert(archive::MemberNameKey(name));
        }
        const auto unambiguous = [&](const archive::TZipHeaderInfo* member) {
            if (member == nullptr || ambiguous.empty()) {
                return member;
            }
            return ambiguous.count(archive::MemberNameKey(member->Name)) == 0 ? member : nullptr;
        };
        const PropertyPartLocation parts = LocatePropertyParts(reader);
        ReadPart(reader, unambiguous(parts.Core), ReadCorePropertiesXml, record, errors);
        ReadPart(reader, unambiguous(parts.App), ReadAppPropertiesXml, record, errors);
        ReadCustomPart(reader, unambiguous(parts.Custom), record);
    } catch (const std::exception& e) {
        errors.push_back(e.what());
    } catch (...) {
        errors.push_back("unexpected failure while reading the package");
    }
    // The size is that of the file read (the fstat of its descriptor), which a folder walk leaves
    // for the load to learn.
    if (const std::optional<std::uint64_t> size = reader.OpenedSize()) {
        record.FileSize = std::to_string(*size);
    }
    // Whatever was read stays; a failed load never leaves anything flagged for a save.
    MarkLoaded(record);
    record.LastError = WithoutPath(Joined(errors), record.FullPath);
    return DocumentOutcome{errors.empty(), record.LastError};
}

void RefreshFileSize(DocumentRecord& record)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(record.FullPath, error);
    if (!error) {
        record.FileSize = std::to_string(size);
    }
}

} // namespace engine
