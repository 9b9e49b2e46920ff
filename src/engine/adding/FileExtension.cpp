#include "engine/adding/AddDocument.h"

namespace engine {

namespace {

std::string UpperAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

} // namespace

std::string FileExtension(const std::string& path)
{
    // '/' is the folder separator here; '\' and ':' still end an extension so that paths
    // written the Windows way (and drive letters) give the same answer everywhere.
    const std::size_t p = path.find_last_of(".\\:/");
    if (p == std::string::npos || path[p] != '.') {
        return {};
    }
    return path.substr(p + 1);
}

bool PassesFilter(const std::string& ext, const std::string& filterMode, const std::string& extensionList)
{
    // The leading '.' and the closing ';' make the match exact: "ppt" is not found in "*.pptx;".
    const bool listed = UpperAscii(extensionList).find("." + UpperAscii(ext) + ";") != std::string::npos;
    if (filterMode == "0") {
        return true;
    }
    if (filterMode == "1") {
        return !listed;
    }
    if (filterMode == "2") {
        return listed;
    }
    return false;
}

} // namespace engine
