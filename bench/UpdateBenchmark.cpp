// Rewriting two small parts of a large package, against copying the same file with cp. The update
// has to stay within a small factor of the copy, whatever the package size, because kept members
// are copied raw; its memory must not grow with the package.
#include "archive/TArchiveReader.h"
#include "archive/UpdatePackage.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void Run(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + args[0]);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(args[0] + " failed");
    }
}

// One generated package of about 100 MiB and a folder holding its two property parts, changed.
struct LargePackage
{
    LargePackage()
    {
        dir = fs::temp_directory_path() / ("velmora-update-bench-" + std::to_string(getpid()));
        fs::create_directories(dir);
        Run({"python3", std::string(VELMORA_SHARED_DIR) + "/bench/make_corpus.py", "--profile", "large",
             "--count", "1", "--media-mb", "100", "--seed", "update-bench", "--out",
             (dir / "generated").string()});
        for (const auto& entry : fs::directory_iterator(dir / "generated")) {
            source = entry.path();
        }
        package = dir / "work.pptx";
        copy = dir / "copy.pptx";
        folder = dir / "scratch";
        fs::copy_file(source, package);
        archive::TArchiveReader reader;
        reader.ZipName = source;
        reader.OpenDirectory();
        for (const char* part : {"docProps/core.xml", "docProps/app.xml"}) {
            const auto* member = reader.FindMember(part);
            if (member == nullptr) {
                throw std::runtime_error(std::string("generated package lacks ") + part);
            }
            fs::create_directories(folder / "docProps");
            std::ofstream(folder / part, std::ios::binary)
                << reader.ExtractToMemory(*member, 1 << 24) << "\n<!-- changed -->\n";
        }
    }

    ~LargePackage()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    fs::path dir, source, package, copy, folder;
};

LargePackage& Shared()
{
    static LargePackage package;
    return package;
}

double Since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_UpdateTwoPartsOfLargePackage(benchmark::State& state)
{
    LargePackage& p = Shared();
    double cpSeconds = 0;
    double cpSyncSeconds = 0;
    double updateSeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        Run({"cp", p.source.string(), p.copy.string()});
        cpSeconds += Since(start);

        start = Clock::now();
        Run({"cp", p.source.string(), p.copy.string()});
        Run({"sync", p.copy.string()});
        cpSyncSeconds += Since(start);

        start = Clock::now();
        archive::UpdatePackage(p.package, p.folder);
        const double update = Since(start);
        updateSeconds += update;
        state.SetIterationTime(update);
    }
    const double n = static_cast<double>(state.iterations());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["package_MiB"] = static_cast<double>(fs::file_size(p.package)) / (1 << 20);
    state.counters["cp_ms"] = 1000 * cpSeconds / n;
    state.counters["cp_sync_ms"] = 1000 * cpSyncSeconds / n;
    state.counters["update_ms"] = 1000 * updateSeconds / n;
    state.counters["ratio_to_cp"] = updateSeconds / cpSeconds;
    state.counters["ratio_to_cp_sync"] = updateSeconds / cpSyncSeconds;
    state.counters["max_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

BENCHMARK(BM_UpdateTwoPartsOfLargePackage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
