#include "archive/TArchiveReader.h"

#include "archive/ArchiveErrors.h"
#include "archive/ArchiveFile.h"
#include "archive/DirectoryReading.h"
#include "archive/MemberDecoder.h"
#include "archive/ZipFormat.h"

#include <array>
#include <sys/stat.h>

namespace archive {
namespace {

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) {
            c = c == '\\' ? '/' : c;
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
        };
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view WithoutLeadingSlash(std::string_view name)
{
    while (!name.empty() && (name.front() == '/' || name.front() == '\\')) {
        name.remove_prefix(1);
    }
    return name;
}

} // namespace

TArchiveReader::TArchiveReader() = default;

TArchiveReader::~TArchiveReader() = default;

ArchiveFile& TArchiveReader::OpenArchive()
{
    if (m_file && m_file->Path() != ZipName) {
        ClearDirectory();
    }
    if (!m_file) {
        if (ZipName.empty()) {
            throw EArchiveIoError("no archive name given");
        }
        m_file = std::make_unique<ArchiveFile>(ZipName);
    }
    return *m_file;
}

void TArchiveReader::CloseArchive()
{
    m_file.reset();
}

void TArchiveReader::ClearDirectory()
{
    m_file.reset();
    m_members.Clear();
    m_endCentral = TEndCentral{};
    m_loaded = false;
    m_loadedName.clear();
}

void TArchiveReader::CheckCancel(std::uint64_t bytesDone, std::uint64_t bytesTotal) const
{
    if (DoProcessMessages && OnProgress && !OnProgress(bytesDone, bytesTotal)) {
        throw EUserCanceled();
    }
}

bool TArchiveReader::DirectoryIsCurrent()
{
    if (!m_loaded || m_loadedName != ZipName) {
        return false;
    }

    struct stat st = {};
    if (::stat(ZipName.c_str(), &st) != 0) {
        return false;
    }
    return st.st_mtim.tv_sec == m_loadedTime.tv_sec && st.st_mtim.tv_nsec == m_loadedTime.tv_nsec;
}

void TArchiveReader::LoadDirectory(bool strict)
{
    ClearDirectory();
    m_openedSize.reset();
    ArchiveFile& file = OpenArchive();
    m_openedSize = file.Size();
    const std::string path = ZipName.string();
    TEndCentral end;
    TSortedZip members;
    EndRecordSearch found = FindEndRecord(file, end);
    if (found == EndRecordSearch::Found && end.ThisDisk < end.CentralDisk) {
        found = EndRecordSearch::NotFound;
    }
    auto progress = [this] { CheckCancel(0, 0); };
    if (found == EndRecordSearch::NotFound) {
        if (strict) {
            if (StartsWithOle2Signature(file)) {
                throw EOle2Package(path);
            }
            std::array<unsigned char, 4> head{};
            file.Seek(0);
            const bool localHeaderFirst = file.Read(head.data(), head.size()) == head.size() &&
                                          GetU32(head.data()) == kLocalHeaderSignature;
            if (localHeaderFirst) {
                throw EIncompleteZip(path + ": no end of central directory record (truncated?)");
            }
            throw ENotAZipFile(path);
        }
        switch (IncompleteZipMode) {
        case TIncompleteZipMode::izAssumeNotAZip:
            throw ENotAZipFile(path);
        case TIncompleteZipMode::izAssumeMulti:
            throw EIncompleteZip(path);
        case TIncompleteZipMode::izAssumeBad:
            if (!RebuildFromLocalHeaders(file, members, progress)) {
                throw EBadZipFile(path);
            }
            break;
        }
    } else if (found == EndRecordSearch::Found && end.TotalEntries() > 0) {
        ReadCentralDirectory(file, end, members, strict);
    }
    m_members = std::move(members);
    m_endCentral = std::move(end);
    m_loaded = true;
    m_loadedName = ZipName;
    m_loadedTime = file.ModificationTime();
}

void TArchiveReader::ReadDirectory()
{
    try {
        if (!DirectoryIsCurrent()) {
            LoadDirectory(false);
        }
    } catch (const EIncompleteZip&) {
        ClearDirectory();
    } catch (...) {
        ClearDirectory();
        throw;
    }
    if (!KeepZipOpen) {
        CloseArchive();
    }
}

void TArchiveReader::OpenDirectory()
{
    try {
        if (!DirectoryIsCurrent()) {
            LoadDirectory(true);
        }
    } catch (...) {
        ClearDirectory();
        throw;
    }
    // The archive stays open: members are usually read right after.
}

std::size_t TArchiveReader::Count() const
{
    return m_members.Count();
}

const TZipHeaderInfo& TArchiveReader::Member(std::size_t i) const
{
    if (i >= m_members.Count()) {
        throw std::out_of_range("Index " + std::to_string(i) + " is out of range");
    }
    return m_members[i];
}

const TZipHeaderInfo* TArchiveReader::FindMember(std::string_view partName) const
{
    const std::string_view wanted = WithoutLeadingSlash(partName);
    const TZipHeaderInfo* found = nullptr;
    for (const auto& member : m_members) {
        if (member->IsDirectory() || !SameName(WithoutLeadingSlash(member->Name), wanted)) {
            continue;
        }
        if (member->StoredName() == wanted) {
            return member.get();
        }
        found = member.get(); // the last in archive order wins among inexact matches
    }
    return found;
}

std::uint64_t TArchiveReader::DataOffset(TZipHeaderInfo& member)
{
    ArchiveFile& file = OpenArchive();
    std::array<unsigned char, kLocalHeaderSize> h{};
    file.Seek(member.LocalHeaderOffset());
    file.ReadExact(h.data(), h.size());
    // Only the name and extra lengths of the local header are used; every other value comes from the
    // central directory. A wrong signature means the directory points at something else.
    if (GetU32(h.data()) != kLocalHeaderSignature) {
        throw EBadZipFile(member.Name + ": no local header at offset " +
                          std::to_string(member.LocalHeaderOffset()));
    }
    member.LocalExtraLength = GetU16(h.data() + 28);
    return member.LocalHeaderOffset() + kLocalHeaderSize + GetU16(h.data() + 26) + member.LocalExtraLength;
}

void TArchiveReader::ExtractToSink(const TZipHeaderInfo& member,
                                   const std::function<void(const char*, std::size_t)>& sink,
                                   std::uint64_t maxBytes)
{
    TZipHeaderInfo current = member;
    ArchiveFile& file = OpenArchive();
    const std::uint64_t dataOffset = DataOffset(current);
    DecodeLimits limits;
    limits.MaxBytes = maxBytes;
    const std::uint64_t total = current.CompressedSize();
    limits.BeforeChunk = [this, total](std::uint64_t done) { CheckCancel(done, total); };
    // The archive stays open for the next member; CloseArchive or the destructor closes it.
    DecodeMember(file, dataOffset, current, sink, limits);
}

std::string TArchiveReader::ExtractToMemory(const TZipHeaderInfo& member, std::uint64_t maxBytes)
{
    std::string content;
    // The declared size is only a hint: never reserve more than the caller allows or a modest amount.
    content.reserve(
        static_cast<std::size_t>(std::min<std::uint64_t>({member.UncompressedSize(), maxBytes, 1U << 20})));
    ExtractToSink(
        member, [&content](const char* data, std::size_t size) { content.append(data, size); }, maxBytes);
    return content;
}

} // namespace archive
