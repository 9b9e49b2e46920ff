#include "archive/TArchiveWriter.h"

#include "archive/ArchiveErrors.h"
#include "archive/AtomicReplace.h"
#include "archive/ByteBuffer.h"
#include "archive/DosDateTime.h"
#include "archive/MemberNameKey.h"
#include "archive/TDirSearch.h"
#include "archive/WildcardMatch.h"
#include "archive/ZipFormat.h"
#include "archive/ZipMemberCopy.h"
#include "archive/ZipOutputFile.h"
#include "archive/ZipRecordWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace archive {

namespace fs = std::filesystem;

// The old archive, opened once more for the raw copies; it must be the file whose directory was read.
class SourceArchive
{
public:
    SourceArchive(const fs::path& path, const FileIdentity& expected)
    {
        m_source.Name = path.string();
        m_source.Fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (m_source.Fd < 0) {
            throw EArchiveIoError(m_source.Name + ": " + std::strerror(errno));
        }
        if (!IdentityOf(m_source.Fd).SameFileAndContent(expected)) {
            close(m_source.Fd);
            throw EArchiveError("Package was changed by someone else during the update", m_source.Name);
        }
        m_source.Size = expected.Size;
        // A small archive is read in one go: copying its members one by one would cost two reads
        // each. A large one is copied member by member, by the kernel where it can.
        if (m_source.Size <= kImageLimit) {
            m_image.emplace(static_cast<std::size_t>(std::max<std::uint64_t>(m_source.Size, 1)));
            try {
                ReadExactlyAt(m_source.Fd, m_image->data(), static_cast<std::size_t>(m_source.Size), 0,
                              m_source.Name);
            } catch (...) {
                close(m_source.Fd);
                throw;
            }
            m_source.Image = m_image->data();
        }
    }

    ~SourceArchive() { close(m_source.Fd); }

    SourceArchive(const SourceArchive&) = delete;
    SourceArchive& operator=(const SourceArchive&) = delete;

    [[nodiscard]] const ZipSourceArchive& Get() const { return m_source; }

private:
    static constexpr std::uint64_t kImageLimit = 1024 * 1024;
    ZipSourceArchive m_source;
    std::optional<ByteBuffer> m_image;
};

namespace {

bool IsFolderEntry(const std::string& path)
{
    return !path.empty() && path.back() == '/';
}

std::uint32_t FileDosTime(const std::string& path)
{
    struct stat st
    {
    };

    return stat(path.c_str(), &st) == 0 ? TimeToDosDateTime(st.st_mtim.tv_sec) : 0;
}

std::uint64_t FileSizeOrZero(const std::string& path)
{
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

} // namespace

TArchiveWriter::TArchiveWriter() = default;

TArchiveWriter::~TArchiveWriter() = default;

void TArchiveWriter::SetStorePaths(bool value)
{
    m_storePaths = value;
    if (!value) {
        m_storeVolumes = false;
        m_relativePaths = false;
    }
}

void TArchiveWriter::SetRelativePaths(bool value)
{
    m_relativePaths = value;
    if (value) {
        m_storePaths = true;
        m_recurse = true;
    }
}

void TArchiveWriter::SetStoreVolumes(bool value)
{
    m_storeVolumes = value;
    if (value) {
        m_storePaths = true;
    }
}

void TArchiveWriter::SetRootDir(const std::string& value)
{
    m_rootDir = value;
    if (!m_rootDir.empty() && m_rootDir.back() != '/') {
        m_rootDir += '/';
    }
    m_relativePathList = {m_rootDir};
}

std::uint32_t TArchiveWriter::AttributeMask() const
{
    return faDirectory | (IncludeReadOnlyFiles ? faReadOnly : 0) | (IncludeHiddenFiles ? faHidden : 0) |
           (IncludeSysFiles ? faSysFile : 0) | (IncludeArchiveFiles ? faArchive : 0);
}

fs::path TArchiveWriter::PackagePath() const
{
    return LinkTarget(ZipName);
}

WriterFileListOptions TArchiveWriter::ListOptions() const
{
    WriterFileListOptions options;
    options.RootDir = m_rootDir;
    options.RelativePathList = m_relativePathList;
    options.ExcludeList = ExcludeList;
    options.Recurse = m_recurse;
    options.StorePaths = m_storePaths;
    options.RelativePaths = m_relativePaths;
    options.AddDirEntriesOnRecurse = AddDirEntriesOnRecurse;
    options.AttributeMask = AttributeMask();
    options.ZipName = ZipName;
    options.CheckCancel = [this] { CheckCancel(0, 0); };
    options.OnSkip = OnFileSkipped;
    return options;
}

int TArchiveWriter::UpdateArchive()
{
    // The list is used up by every update, whatever its outcome.
    struct ListClearer
    {
        std::vector<std::string>& List;

        ~ListClearer() { List.clear(); }
    } clearer{FilesList};

    if (ZipName.empty() || ZipName.string().find_first_not_of(" \t") == std::string::npos) {
        return 0;
    }
    const fs::path package = PackagePath();
    const FileIdentity before = IdentityOf(package);
    if (ExpectedArchive && !before.SameFileAndContent(*ExpectedArchive)) {
        throw EArchiveError("Package was changed by someone else during the update", package.string());
    }
    if (before.Exists) {
        // Checked first, so that nothing is written for a package that cannot be replaced.
        RequirePackageReplaceable(package, before);
        OpenDirectory();
        CloseArchive();
        if (!IdentityOf(package).SameFileAndContent(before)) {
            throw EArchiveError("Package was changed by someone else during the update", package.string());
        }
    } else {
        ClearDirectory();
    }
    std::unordered_set<std::string> memberKeys;
    for (const auto& member : Members()) {
        memberKeys.insert(MemberNameKey(member->Name));
    }
    WriterFileListOptions options = ListOptions();
    // An unpacked member is package content even when its name makes it a hidden file here.
    options.IncludeHidden = [this, &memberKeys](const std::string& storedName) {
        return memberKeys.count(MemberNameKey(storedName)) > 0 ||
               std::any_of(HiddenIncludeList.begin(), HiddenIncludeList.end(),
                           [&](const std::string& pattern) {
                               return WildcardMatch(AsciiLower(pattern), AsciiLower(storedName));
                           });
    };
    const std::vector<std::string> files = ExpandWriterFilesList(FilesList, options);
    return WriteArchive(files, options, before);
}

// The state of one WriteArchive: the files to pack, the archive being written and what is in it.
struct TArchiveWriter::Build
{
    Build(const std::vector<std::string>& listed,
          const WriterFileListOptions& listOptions,
          ZipOutputFile& output)
        : files(listed)
        , options(listOptions)
        , out(output)
        , used(listed.size(), false)
    {}

    const std::vector<std::string>& files;
    const WriterFileListOptions& options;
    ZipOutputFile& out;
    // Each stored name maps to the list entries that would give it, in list order.
    std::unordered_map<std::string, std::deque<std::size_t>> entriesByName;
    std::vector<bool> used;
    std::vector<ZipMemberRecord> records;
    std::unordered_set<std::string> written;
    // Member names (as MemberNameKey gives them) that the new archive leaves out.
    std::unordered_set<std::string> removed;
    int compressed = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    ZipChunkCallback onChunk;
};

int TArchiveWriter::WriteArchive(const std::vector<std::string>& files,
                                 const WriterFileListOptions& options,
                                 const FileIdentity& before)
{
    const fs::path package = PackagePath();
    std::unique_ptr<SourceArchive> source =
        before.Exists ? std::make_unique<SourceArchive>(package, before) : nullptr;
    TemporaryArchive temporary(package, before);
    ZipOutputFile out(temporary.Fd(), temporary.Path().string());
    if (OnArchiveBytes) {
        out.SetObserver(OnArchiveBytes);
    }
    Build build(files, options, out);
    for (const std::string& name : RemoveMembers) {
        build.removed.insert(MemberNameKey(name));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        build.entriesByName[MemberNameKey(StoredNameOf(files[i], options))].push_back(i);
        build.bytesTotal += FileSizeOrZero(files[i]);
    }
    for (const auto& member : Members()) {
        build.bytesTotal += member->CompressedSize();
    }
    build.onChunk = [this, &build](std::uint64_t bytes) {
        build.bytesDone += bytes;
        CheckCancel(build.bytesDone, build.bytesTotal);
    };

    KeepOrReplaceMembers(build, source.get(), package);
    AddNewFiles(build);
    WriteCentralDirectory(build);
    source.reset();
    if (BeforeReplace) {
        BeforeReplace(temporary.Fd());
    }
    temporary.Commit();
    ClearDirectory();
    return build.compressed;
}

void TArchiveWriter::Compress(Build& build,
                              const std::string& file,
                              std::string storedName,
                              std::uint16_t nameFlags,
                              std::string comment)
{
    NewMemberRecipe recipe;
    recipe.File = file;
    recipe.StoredName = std::move(storedName);
    recipe.NameFlags = nameFlags;
    recipe.Comment = std::move(comment);
    recipe.PackLevel = MatchesPathList(file, NoCompressList) ? 0 : PackLevel;
    recipe.ForceZip64 = ForceZip64;
    build.records.push_back(IsFolderEntry(file) ? WriteFolderMember(recipe, build.out)
                                                : CompressFileAsMember(recipe, build.out, build.onChunk));
    ++build.compressed;
}

void TArchiveWriter::KeepOrReplaceMembers(Build& build, const SourceArchive* source, const fs::path& package)
{
    for (const auto& held : Members()) {
        const TZipHeaderInfo& member = *held;
        const std::string key = MemberNameKey(member.Name);
        if (member.DeletionMark == 2 || build.removed.count(key) > 0) {
            continue;
        }
        std::size_t entry = build.files.size();
        if (auto it = build.entriesByName.find(key); it != build.entriesByName.end() && !it->second.empty()) {
            entry = it->second.front();
            it->second.pop_front();
            build.used[entry] = true;
        }
        if (!build.written.insert(key).second) {
            throw EDuplicateObject(package.string() + ": two members named " + member.Name);
        }
        const bool replace =
            entry < build.files.size() &&
            (ZipAction == TZipAction::zaReplace || FileDosTime(build.files[entry]) > member.DosDateTime);
        if (replace) {
            // The old name bytes and comment stay, so references inside the package still resolve.
            Compress(build, build.files[entry], std::string(member.StoredName()), member.Flags & kFlagUtf8,
                     member.Comment);
        } else {
            build.records.push_back(CopyMemberRaw(source->Get(), member, build.out, ForceZip64));
            build.bytesDone += member.CompressedSize();
            CheckCancel(build.bytesDone, build.bytesTotal);
        }
    }
}

void TArchiveWriter::AddNewFiles(Build& build)
{
    for (std::size_t i = 0; i < build.files.size(); ++i) {
        if (build.used[i] || ZipAction == TZipAction::zaFreshen) {
            continue;
        }
        std::string storedName = StoredNameOf(build.files[i], build.options);
        if (!build.written.insert(MemberNameKey(storedName)).second) {
            if (OnFileSkipped) {
                OnFileSkipped(build.files[i], "a member of that name is already written");
            }
            continue;
        }
        const std::uint16_t flags = NameFlagsFor(storedName);
        Compress(build, build.files[i], std::move(storedName), flags, {});
    }
}

void TArchiveWriter::WriteCentralDirectory(Build& build)
{
    const std::uint64_t directoryOffset = build.out.Position();
    for (const ZipMemberRecord& record : build.records) {
        build.out.Write(CentralRecordBytes(record));
    }
    const std::uint64_t directorySize = build.out.Position() - directoryOffset;
    build.out.Write(EndRecordsBytes(build.records.size(), directorySize, directoryOffset,
                                    EndCentral().Comment, ForceZip64));
    build.out.Flush();
}

} // namespace archive
