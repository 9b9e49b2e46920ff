#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace fuzzing {
namespace fs = std::filesystem;

namespace {

struct WorkFolder
{
    fs::path path;

    WorkFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "velmora-fuzz-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) == nullptr) {
            Fail("cannot create the work folder");
        }
        path = buffer.data();
    }

    ~WorkFolder() { RemoveTree(path); }
};

} // namespace

const fs::path& WorkDir()
{
    static const WorkFolder folder;
    return folder.path;
}

fs::path WriteInput(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    const fs::path path = WorkDir() / name;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) {
        Fail("cannot write the input file", path.string());
    }
    return path;
}

void Fail(std::string_view what, std::string_view detail)
{
    std::fprintf(stderr, "FINDING: %.*s %.*s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(detail.size()), detail.data());
    std::abort();
}

void RequireNothingOutside(const fs::path& root, std::initializer_list<fs::path> allowed)
{
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path& p = it->path();
        bool inside = false;
        for (const fs::path& a : allowed) {
            const auto rel = p.lexically_relative(a);
            if (p == a || (!rel.empty() && *rel.begin() != "..")) {
                inside = true;
                break;
            }
            // Ancestors of an allowed folder are fine as folders.
            const auto up = a.lexically_relative(p);
            if (!up.empty() && *up.begin() != ".." && it->is_directory()) {
                inside = true;
                break;
            }
        }
        if (!inside) {
            Fail("file written outside the destination:", p.string());
        }
    }
}

void RemoveTree(const fs::path& folder)
{
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ec);
    }
    fs::remove_all(folder, ec);
}

} // namespace fuzzing
