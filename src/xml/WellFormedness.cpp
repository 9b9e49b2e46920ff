#include "xml/WellFormedness.h"

#include <cstring>
#include <string_view>

namespace xml {
namespace {

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsAsciiHexDigit(char c)
{
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether the digits of a character reference name a character that has a UTF-8 form. The parser
// would turn any other value (a surrogate, or one past U+10FFFF that wraps around) into bytes that
// are not UTF-8, and NUL would cut the text short; the saved document could not be read back.
// Control characters stay accepted: the parser takes them raw, and writes them in attribute values
// as references, so refusing the references would refuse the service's own output.
bool IsXmlCharacter(std::string_view digits, bool hex)
{
    unsigned long value = 0;
    for (const char c : digits) {
        const unsigned long digit = IsAsciiDigit(c) ? static_cast<unsigned long>(c - '0')
                                                    : static_cast<unsigned long>((c | 0x20) - 'a' + 10);
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) {
            return false;
        }
    }
    return (value >= 0x1 && value <= 0xD7FF) || value >= 0xE000;
}

// The first '&' in text that does not start a predefined entity or a character reference, as the
// reference text ("&name;"); empty when every reference is one of those.
std::string UnknownReference(std::string_view text)
{
    for (std::size_t pos = text.find('&'); pos != std::string_view::npos; pos = text.find('&', pos + 1)) {
        const auto semicolon = text.find(';', pos);
        const std::string_view name = semicolon == std::string_view::npos
                                          ? text.substr(pos + 1)
                                          : text.substr(pos + 1, semicolon - pos - 1);
        bool known = semicolon != std::string_view::npos &&
                     (name == "lt" || name == "gt" || name == "amp" || name == "quot" || name == "apos");
        if (!known && semicolon != std::string_view::npos && name.size() > 1 && name[0] == '#') {
            known = true;
            const bool hex = name[1] == 'x';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            known = !digits.empty();
            for (const char c : digits) {
                known = known && (hex ? IsAsciiHexDigit(c) : IsAsciiDigit(c));
            }
            known = known && IsXmlCharacter(digits, hex);
        }
        if (!known) {
            return std::string(text.substr(pos, std::min<std::size_t>(name.size() + 2, 40)));
        }
    }
    return {};
}

std::string ElementProblem(pugi::xml_node element)
{
    for (auto attribute = element.first_attribute(); attribute; attribute = attribute.next_attribute()) {
        for (auto other = attribute.next_attribute(); other; other = other.next_attribute()) {
            if (std::strcmp(attribute.name(), other.name()) == 0) {
                return std::string("attribute ") + attribute.name() + " repeated in <" + element.name() + ">";
            }
        }
        if (auto reference = UnknownReference(attribute.value()); !reference.empty()) {
            return "unsupported entity reference " + reference + " in an attribute of <" + element.name() +
                   ">";
        }
    }
    return {};
}

// pugixml walks the tree without recursion, so a deeply nested part cannot exhaust the stack.
struct ReferenceWalker : pugi::xml_tree_walker
{
    std::string problem;

    bool for_each(pugi::xml_node& node) override
    {
        if (node.type() == pugi::node_element) {
            problem = ElementProblem(node);
        } else if (node.type() == pugi::node_pcdata) {
            if (auto reference = UnknownReference(node.value()); !reference.empty()) {
                problem = "unsupported entity reference " + reference +
                          " (only the predefined entities and character references are read)";
            }
        }
        return problem.empty();
    }
};

} // namespace

std::string StructureProblem(const pugi::xml_document& raw)
{
    int elements = 0;
    for (auto node = raw.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) {
            ++elements;
        } else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            return "text outside the root element";
        }
    }
    if (elements != 1) {
        return elements == 0 ? "no root element" : "more than one root element";
    }
    ReferenceWalker walker;
    raw.document_element().traverse(walker);
    if (walker.problem.empty()) {
        walker.problem = ElementProblem(raw.document_element());
    }
    return walker.problem;
}

std::size_t InvalidUtf8Offset(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned minimum = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            minimum = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            minimum = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            minimum = 0x10000;
        } else {
            return i;
        }
        if (i + length > bytes.size()) {
            return i;
        }
        unsigned code = c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return i;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return i;
        }
        i += length;
    }
    return std::string_view::npos;
}

} // namespace xml
