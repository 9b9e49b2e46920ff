#include "export/BuildXml.h"

#include "archive/Utf8.h"
#include "export/LineEnds.h"
#include "export/Maker.h"

namespace exporting {
namespace {

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

} // namespace

std::string XmlAttributeName(std::string_view caption)
{
    std::string name;
    name.reserve(caption.size());
    for (const char c : caption) {
        if (c != ' ' && c != '(' && c != ')') {
            name += c;
        }
    }
    return name;
}

std::string XmlAttributeValue(std::string_view text)
{
    std::string value;
    value.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const archive::Utf8Step step = archive::DecodeUtf8(text, pos);
        if (step.Valid && IsXmlChar(step.CodePoint)) {
            switch (step.CodePoint) {
            case '&':
                value += "&amp;";
                break;
            case '<':
                value += "&lt;";
                break;
            case '"':
                value += "&quot;";
                break;
            // A parser would normalise these to blanks in an attribute value; references keep them.
            case '\t':
                value += "&#9;";
                break;
            case '\n':
                value += "&#10;";
                break;
            case '\r':
                value += "&#13;";
                break;
            default:
                value.append(text.substr(pos, step.Length));
            }
        }
        pos += step.Length;
    }
    return value;
}

void BuildXml(std::ostream& out, const GridSnapshot& grid)
{
    if (grid.Rows.empty()) {
        return;
    }
    std::vector<std::string> names;
    names.reserve(grid.Captions.size());
    for (std::size_t column = 0; column < grid.Captions.size(); ++column) {
        const std::string_view given = CellAt(grid.AttributeNames, column);
        names.push_back(given.empty() ? XmlAttributeName(grid.Captions[column]) : std::string(given));
    }
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n<files generator=\"";
    text += kMakerAddress;
    text += "\">\n";
    for (const std::vector<std::string>& row : grid.Rows) {
        text += "<file ";
        for (std::size_t column = 0; column < names.size(); ++column) {
            text += names[column];
            text += "=\"";
            text += XmlAttributeValue(CellAt(row, column));
            text += "\"  ";
        }
        text += "/>\n";
    }
    text += "</files>";
    WriteWithLineEnds(out, text);
}

} // namespace exporting
