#include "archive/ArchiveErrors.h"
#include "archive/ArchiveFile.h"
#include "archive/DestinationFolder.h"
#include "archive/DosDateTime.h"
#include "archive/FileHelpers.h"
#include "archive/MemberDecoder.h"
#include "archive/MemberPath.h"
#include "archive/OutputFile.h"
#include "archive/TArchiveReader.h"
#include "archive/WildcardMatch.h"

#include <sys/stat.h>

namespace archive {
namespace {

bool Selected(const TZipHeaderInfo& member,
              const TArchiveReader& reader,
              const std::vector<std::string>& patterns)
{
    if (member.IsDirectory() && !reader.RecreateDirs) {
        return false;
    }
    if (reader.DoAll) {
        return true;
    }
    for (const std::string& pattern : patterns) {
        if (WildcardMatch(pattern, member.Name)) {
            return true;
        }
    }
    return false;
}

// A member whose data is damaged is skipped; the other members are still extracted.
bool IsDamagedMember(const EArchiveError& e)
{
    return dynamic_cast<const EBadCrc*>(&e) != nullptr ||
           dynamic_cast<const EBiggerThanUncompressed*>(&e) != nullptr ||
           dynamic_cast<const EBadZipFile*>(&e) != nullptr;
}

} // namespace

void TArchiveReader::Skip(const TZipHeaderInfo& member, const std::string& reason, bool dataError)
{
    m_skipped.push_back(TSkippedMember{member.Name, reason, dataError});
    if (OnSkip) {
        OnSkip(member, reason);
    }
}

int TArchiveReader::ExtractMembers()
{
    m_skipped.clear();
    if (!DirectoryIsCurrent()) {
        try {
            LoadDirectory(false); // here a missing end record is an error
        } catch (...) {
            ClearDirectory();
            FilesList.clear();
            throw;
        }
    }

    struct Cleanup
    {
        TArchiveReader& Reader;

        ~Cleanup()
        {
            Reader.FilesList.clear();
            if (!Reader.KeepZipOpen) {
                Reader.CloseArchive();
            }
        }
    } cleanup{*this};

    DestinationFolder destination(DestDir);
    std::vector<std::string> patterns;
    for (const std::string& pattern : FilesList) {
        patterns.push_back(NormaliseMemberName(pattern));
    }
    std::uint64_t bytesTotal = 0;
    std::size_t todo = 0;
    for (std::size_t i = 0; i < m_members.Count(); ++i) {
        CheckCancel(0, 0);
        TZipHeaderInfo& member = m_members[i];
        member.Selected = Selected(member, *this, patterns);
        if (member.Selected) {
            bytesTotal += member.UncompressedSize();
            ++todo;
        }
    }
    int extracted = 0;
    std::uint64_t bytesDone = 0;
    for (std::size_t i = 0; i < m_members.Count() && todo > 0; ++i) {
        TZipHeaderInfo& member = m_members[i];
        if (member.Selected && ExtractOne(member, destination, bytesDone, bytesTotal)) {
            ++extracted;
        }
    }
    return extracted;
}

bool TArchiveReader::ExtractOne(TZipHeaderInfo& listed,
                                DestinationFolder& destination,
                                std::uint64_t& bytesDone,
                                std::uint64_t bytesTotal)
{
    TZipHeaderInfo member = listed;
    const std::optional<std::filesystem::path> relative = SafeMemberPath(member.Name, RecreateDirs);
    if (!relative) {
        Skip(member, "name leads outside the destination folder");
        return false;
    }
    const std::filesystem::path target = destination.Root() / *relative;
    if (member.IsDirectory()) {
        return ExtractFolderEntry(member, destination, target);
    }
    if (!destination.Prepare(target.parent_path())) {
        Skip(member,
             "cannot create folder " + target.parent_path().string() + " inside the destination folder");
        return false;
    }
    if (const char* reason = UnsupportedReason(member)) {
        Skip(member, reason);
        return false;
    }
    if (const std::string reason = ReasonToKeepExisting(member, target); !reason.empty()) {
        Skip(member, reason);
        return false;
    }
    return WriteMemberFile(member, target, bytesDone, bytesTotal);
}

bool TArchiveReader::ExtractFolderEntry(const TZipHeaderInfo& member,
                                        DestinationFolder& destination,
                                        const std::filesystem::path& target)
{
    if (!destination.Prepare(target)) {
        Skip(member, "cannot create folder " + target.string());
        return false;
    }
    if (RetainAttributes) {
        ApplyExternalAttributes(target, member.HostSystem(), member.ExternalAttributes, true);
    }
    return true;
}

std::string TArchiveReader::ReasonToKeepExisting(const TZipHeaderInfo& member,
                                                 const std::filesystem::path& target) const
{
    struct stat existing = {};
    if (::lstat(target.c_str(), &existing) != 0) {
        return {}; // nothing there yet
    }
    if (!S_ISREG(existing.st_mode)) {
        return "something other than a file exists at " + target.string();
    }
    bool replace = false;
    const std::time_t memberTime = DosDateTimeToTime(member.DosDateTime);
    switch (OverwriteMode) {
    case TOverwriteMode::Always:
        replace = true;
        break;
    case TOverwriteMode::Never:
        break;
    case TOverwriteMode::ifNewer:
        replace = memberTime > existing.st_mtim.tv_sec;
        break;
    case TOverwriteMode::ifOlder:
        replace = memberTime < existing.st_mtim.tv_sec;
        break;
    case TOverwriteMode::Prompt:
        if (OnOverwritePrompt) {
            replace = OnOverwritePrompt(("Replace existing file " + member.FileName() + "?").substr(0, 300));
        }
        break;
    }
    if (!replace) {
        return "file exists";
    }
    if ((existing.st_mode & S_IWUSR) == 0 && !ReplaceReadOnly) {
        return "existing file is read-only";
    }
    return {};
}

bool TArchiveReader::WriteMemberFile(TZipHeaderInfo& member,
                                     const std::filesystem::path& target,
                                     std::uint64_t& bytesDone,
                                     std::uint64_t bytesTotal)
{
    ArchiveFile& file = OpenArchive();
    const std::uint64_t dataOffset = DataOffset(member);
    std::optional<OutputFile> output;
    try {
        output.emplace(target);
    } catch (const ECantWriteUCF& e) {
        Skip(member, e.what()); // as with any output that cannot be created: the next member follows
        return false;
    }
    DecodeLimits limits;
    const std::uint64_t before = bytesDone;
    limits.BeforeChunk = [&](std::uint64_t) { CheckCancel(bytesDone, bytesTotal); };
    try {
        DecodeMember(
            file, dataOffset, member,
            [&](const char* data, std::size_t size) {
                output->Write(data, size);
                bytesDone += size;
            },
            limits);
    } catch (const EArchiveError& e) {
        if (!IsDamagedMember(e)) {
            throw; // a cancel, a full disk: they end the extraction
        }
        bytesDone = before + member.UncompressedSize();
        Skip(member, e.what(), true);
        return false;
    }
    output->Close();
    SetFileTime(output->TemporaryPath(), DosDateTimeToTime(member.DosDateTime));
    if (RetainAttributes) {
        ApplyExternalAttributes(output->TemporaryPath(), member.HostSystem(), member.ExternalAttributes,
                                false);
    }
    try {
        output->Commit();
    } catch (const ECantWriteUCF& e) {
        Skip(member, e.what()); // the name cannot exist here (too long, say): no file, next member
        return false;
    }
    return true;
}

} // namespace archive
