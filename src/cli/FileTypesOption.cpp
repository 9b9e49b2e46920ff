#include "cli/FileTypesOption.h"

#include "engine/adding/AddDocument.h"
#include "engine/package/OfficeExtensions.h"

namespace cli {

void AddFileTypesOption(CLI::App& command, std::string& extensions)
{
    command
        .add_option("--ext", extensions,
                    "Extensions a folder scan takes, comma-separated (pptx, potx, docx, xlsx, ... or "
                    "office for all of them; default pptx); files named here are read whatever their "
                    "extension")
        ->type_name("LIST");
}

std::string ScanExtensionList(const std::string& extensions)
{
    if (extensions.empty()) {
        return engine::kPackageExtensionList;
    }
    try {
        return engine::ExtensionListOf(extensions);
    } catch (const engine::EUnknownExtension& e) {
        throw CLI::ValidationError("--ext", e.what());
    }
}

} // namespace cli
