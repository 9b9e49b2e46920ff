#include "archive/ArchiveErrors.h"
#include "archive/ExtractPackage.h"
#include "archive/FileHelpers.h"
#include "archive/TArchiveReader.h"
#include "archive/TDirSearch.h"
#include "archive/WildcardMatch.h"
#include "archive/ArchiveFile.h"

namespace archive {

namespace {
[[noreturn]] void NotImplemented(const char* what)
{
    throw EArchiveError(std::string(what) + " not implemented");
}
} // namespace

struct TDirSearch::Level
{
};

TArchiveReader::TArchiveReader() = default;
TArchiveReader::~TArchiveReader() = default;
void TArchiveReader::ReadDirectory() { NotImplemented("ReadDirectory"); }
void TArchiveReader::OpenDirectory() { NotImplemented("OpenDirectory"); }
std::size_t TArchiveReader::Count() const { return m_members.Count(); }
const TZipHeaderInfo& TArchiveReader::Member(std::size_t i) const { return m_members[i]; }
const TZipHeaderInfo* TArchiveReader::FindMember(std::string_view) const { NotImplemented("FindMember"); }
std::string TArchiveReader::ExtractToMemory(const TZipHeaderInfo&, std::uint64_t) { NotImplemented("ExtractToMemory"); }
void TArchiveReader::ExtractToSink(const TZipHeaderInfo&, const std::function<void(const char*, std::size_t)>&, std::uint64_t) { NotImplemented("ExtractToSink"); }
int TArchiveReader::ExtractMembers() { NotImplemented("ExtractMembers"); }
void TArchiveReader::CloseArchive() {}
ArchiveFile& TArchiveReader::OpenArchive() { NotImplemented("OpenArchive"); }
std::uint64_t TArchiveReader::DataOffset(TZipHeaderInfo&) { NotImplemented("DataOffset"); }
void TArchiveReader::CheckCancel(std::uint64_t, std::uint64_t) const {}
void TArchiveReader::ClearDirectory() {}

bool IsWildcard(std::string_view) { NotImplemented("IsWildcard"); }
bool WildcardMatch(std::string_view, std::string_view) { NotImplemented("WildcardMatch"); }
TDirSearch::TDirSearch(const std::filesystem::path&, std::uint32_t, bool, const std::string&) { NotImplemented("TDirSearch"); }
TDirSearch::~TDirSearch() = default;
std::string TDirSearch::NextFile(TSearchRec&) { NotImplemented("NextFile"); }
std::string TDirSearch::NextFile() { NotImplemented("NextFile"); }
bool DirExists(const std::filesystem::path&) { NotImplemented("DirExists"); }
void ForceDirs(const std::filesystem::path&) { NotImplemented("ForceDirs"); }
std::string StripTrailingBackslash(const std::string&) { NotImplemented("StripTrailingBackslash"); }
void ApplyExternalAttributes(const std::filesystem::path&, std::uint8_t, std::uint32_t, bool) {}
void SetFileTime(const std::filesystem::path&, std::time_t) {}
void ExtractPackage(const std::filesystem::path&, const std::filesystem::path&, const std::vector<std::string>&) { NotImplemented("ExtractPackage"); }

} // namespace archive
