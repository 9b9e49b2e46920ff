// A whole load and save of an arbitrary package, as the program does it. Findings: a failure
// without a message; a failed save that changed the file; a save reported as done whose edit does
// not read back or that broke a package which loaded; scratch or temporary files left behind.
#include "FuzzSupport.h"

#include "engine/package/LoadDocument.h"
#include "engine/package/SaveDocument.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "Fuzzed \xe2\x80\x9ctitle\xe2\x80\x9d";

fs::path ScratchRoot()
{
    return fuzzing::WorkDir() / "tmp";
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void RequireTidy(const fs::path& package, const char* when)
{
    std::error_code ec;
    if (!fs::is_empty(ScratchRoot(), ec)) {
        fuzzing::Fail("scratch files left behind", when);
    }
    for (const auto& entry : fs::directory_iterator(fuzzing::WorkDir())) {
        if (entry.path() != package && entry.path() != ScratchRoot()) {
            fuzzing::Fail("temporary file left beside the package:", entry.path().string());
        }
    }
}

engine::DocumentRecord RecordFor(const fs::path& package)
{
    engine::DocumentRecord record;
    record.FullPath = package.string();
    record.FileName = package.filename().string();
    return record;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fs::create_directories(ScratchRoot());
    setenv("TMPDIR", ScratchRoot().c_str(), 1);
    setenv("TZ", "UTC", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path package = fuzzing::WriteInput(data, size, "deck.pptx");
    engine::DocumentRecord record = RecordFor(package);
    const engine::DocumentOutcome loaded = engine::LoadDocument(record);
    if (!loaded.ok && record.LastError.empty()) {
        fuzzing::Fail("a failed load left no message");
    }
    RequireTidy(package, "after a load");

    record.Value(0) = kTitle;
    record.SetChanged(0, true);
    record.Value(8) = "2020-02-29 12:34:56";
    record.SetChanged(8, true);
    record.Modified = true;
    const engine::DocumentOutcome saved = engine::SaveDocument(record);
    if (!saved.ok) {
        if (record.LastError.empty() || !record.Modified) {
            fuzzing::Fail("a failed save left no message or cleared Modified");
        }
        const std::string after = ReadAll(package);
        if (after.size() != size || (size > 0 && std::memcmp(after.data(), data, size) != 0)) {
            fuzzing::Fail("a failed save changed the package");
        }
    } else {
        // Members the save did not touch are copied as they were, damage included, so a package
        // that failed to load may fail again; but the edited part must read back, and a package
        // that loaded must still load.
        engine::DocumentRecord reread = RecordFor(package);
        const engine::DocumentOutcome again = engine::LoadDocument(reread);
        if ((loaded.ok && !again.ok) || reread.Value(0) != kTitle) {
            fuzzing::Fail("a save reported as done does not read back:", again.message);
        }
    }
    RequireTidy(package, "after a save");
    return 0;
}
