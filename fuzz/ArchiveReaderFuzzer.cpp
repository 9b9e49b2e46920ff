// The archive reader on arbitrary bytes: reading the directory, decoding every member into memory,
// and extracting every member into a fresh folder. Any exception other than the archive layer's own
// errors, any sanitizer report, and any file written outside the destination folder is a finding.
#include "FuzzSupport.h"

#include "archive/ArchiveErrors.h"
#include "archive/TArchiveReader.h"

#include <cstdint>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Large enough for any real property part, small enough that a bomb is cut short quickly.
constexpr std::uint64_t kMemoryLimit = std::uint64_t{8} << 20;

void ReadIntoMemory(archive::TArchiveReader& reader)
{
    for (std::size_t i = 0; i < reader.Count(); ++i) {
        try {
            const std::string content = reader.ExtractToMemory(reader.Member(i), kMemoryLimit);
            if (content.size() > kMemoryLimit) {
                fuzzing::Fail("ExtractToMemory returned more than its limit");
            }
        } catch (const archive::EArchiveError&) {
        }
    }
    (void)reader.FindMember("docProps/core.xml");
    (void)reader.FindMember("/DOCPROPS\\APP.XML");
}

void ExtractToFolder(archive::TArchiveReader& reader, const fs::path& dest)
{
    reader.DestDir = dest;
    reader.FilesList = {"*.*"};
    reader.DoAll = false;
    reader.RecreateDirs = true;
    reader.OverwriteMode = archive::TOverwriteMode::Always;
    try {
        const int extracted = reader.ExtractMembers();
        if (extracted < 0 || static_cast<std::size_t>(extracted) > reader.Count()) {
            fuzzing::Fail("ExtractMembers counted more members than the archive has");
        }
    } catch (const archive::EArchiveError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path input = fuzzing::WriteInput(data, size, "input.pptx");
    // Nested so that a "../" escape still lands inside the work folder, where it is seen.
    const fs::path dest = fuzzing::WorkDir() / "a" / "b" / "c" / "out";
    fuzzing::RemoveTree(fuzzing::WorkDir() / "a");

    archive::TArchiveReader reader;
    reader.ZipName = input;
    reader.DoProcessMessages = false;
    try {
        reader.OpenDirectory();
    } catch (const archive::EArchiveError&) {
        return 0;
    }
    ReadIntoMemory(reader);
    ExtractToFolder(reader, dest);
    fuzzing::RequireNothingOutside(fuzzing::WorkDir(), {input, dest});
    return 0;
}
