// The thumbnail reader on arbitrary packages (first byte even) and on arbitrary relationships parts
// inside a package that holds a few pictures (first byte odd). Findings: a thumbnail past the bound,
// a failure without a reason, and a thumbnail that is not, byte for byte, a member of the package.
#include "FuzzSupport.h"
#include "engine/package/ReadThumbnail.h"
#include "support/PackageBuilder.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <string>
#include <utility>

namespace {

// The members of the package around a fuzzed relationships part: name and content.
const std::array<std::pair<const char*, const char*>, 4> kMembers = {{
    {"docProps/thumbnail.jpeg", "\xFF\xD8\xFF\xE0 thumbnail"},
    {"media/Thumb.PNG", "\x89PNG picture"},
    {"a b/c.wmf", "metafile"},
    {"docProps/app.xml", "<Properties/>"},
}};

std::string PackageAround(const std::string& rels)
{
    testsupport::PackageBuilder builder;
    builder.Add("_rels/.rels", rels, testsupport::PackageBuilder::Method::Stored);
    for (const auto& [name, content] : kMembers) {
        builder.Add(name, content, testsupport::PackageBuilder::Method::Stored);
    }
    return builder.Build();
}

// rels: the relationships part around which the package was built; nothing for an arbitrary package.
void Check(const engine::Thumbnail& thumbnail, const std::string* rels)
{
    if (thumbnail.Bytes.size() > engine::kMaxThumbnailBytes) {
        fuzzing::Fail("a thumbnail past the bound:", std::to_string(thumbnail.Bytes.size()));
    }
    if (!thumbnail.Ok()) {
        if (!thumbnail.Bytes.empty() || !thumbnail.PartName.empty()) {
            fuzzing::Fail("a failed read handed back a part:", thumbnail.Error);
        }
        return;
    }
    std::string extension;
    const std::size_t dot = thumbnail.PartName.rfind('.');
    if (dot != std::string::npos && thumbnail.PartName.find('/', dot) == std::string::npos) {
        for (const char c : thumbnail.PartName.substr(dot + 1)) {
            extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (thumbnail.Extension != extension) {
        fuzzing::Fail("the extension is not the part name's:", thumbnail.PartName);
    }
    if (rels == nullptr) {
        return;
    }
    if (thumbnail.PartName == "_rels/.rels") {
        if (thumbnail.Bytes != *rels) {
            fuzzing::Fail("the thumbnail is not the member's content:", thumbnail.PartName);
        }
        return;
    }
    for (const auto& [name, content] : kMembers) {
        if (thumbnail.PartName == name) {
            if (thumbnail.Bytes != content) {
                fuzzing::Fail("the thumbnail is not the member's content:", name);
            }
            return;
        }
    }
    fuzzing::Fail("the thumbnail names no member of the package:", thumbnail.PartName);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const bool relsOnly = (data[0] & 1) != 0;
    if (relsOnly) {
        const std::string rels(reinterpret_cast<const char*>(data) + 1, size - 1);
        const std::string package = PackageAround(rels);
        const auto path = fuzzing::WriteInput(reinterpret_cast<const std::uint8_t*>(package.data()),
                                              package.size(), "thumbnail.pptx");
        Check(engine::ReadThumbnail(path), &rels);
    } else {
        Check(engine::ReadThumbnail(fuzzing::WriteInput(data + 1, size - 1, "thumbnail.pptx")), nullptr);
    }
    return 0;
}
