#include "xml/TopLevelText.h"

namespace xml {
namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// End of a document type declaration starting at pos: the '>' that is outside quotes and outside
// the internal subset's brackets (whose own declarations and comments may hold '>' characters).
std::optional<std::size_t> DoctypeEnd(std::string_view text, std::size_t pos)
{
    int depth = 0;
    char quote = 0;
    for (std::size_t i = pos; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (depth > 0 && text.substr(i, 4) == "<!--") {
            const auto close = text.find("-->", i + 4);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            i = close + 2;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        } else if (c == '>' && depth == 0) {
            return i + 1;
        }
    }
    return std::nullopt;
}

} // namespace

std::size_t ByteOrderMarkLength(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return 3;
    }
    if (bytes.starts_with(std::string_view("\x00\x00\xFE\xFF", 4)) ||
        bytes.starts_with(std::string_view("\xFF\xFE\x00\x00", 4))) {
        return 4;
    }
    if (bytes.starts_with("\xFE\xFF") || bytes.starts_with("\xFF\xFE")) {
        return 2;
    }
    return 0;
}

std::optional<std::size_t> RootStart(std::string_view text, std::size_t from)
{
    std::size_t pos = from;
    for (;;) {
        while (pos < text.size() && IsSpace(text[pos])) {
            ++pos;
        }
        const std::string_view rest = text.substr(pos);
        std::size_t end = std::string_view::npos;
        if (rest.starts_with("<?")) {
            end = text.find("?>", pos + 2);
            end = end == std::string_view::npos ? end : end + 2;
        } else if (rest.starts_with("<!--")) {
            end = text.find("-->", pos + 4);
            end = end == std::string_view::npos ? end : end + 3;
        } else if (rest.starts_with("<!DOCTYPE")) {
            end = DoctypeEnd(text, pos).value_or(std::string_view::npos);
        } else if (rest.starts_with("<")) {
            return pos;
        } else {
            return std::nullopt;
        }
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        pos = end;
    }
}

std::size_t RootEnd(std::string_view text)
{
    std::size_t end = text.size();
    for (;;) {
        while (end > 0 && IsSpace(text[end - 1])) {
            --end;
        }
        const std::string_view head = text.substr(0, end);
        std::size_t start = std::string_view::npos;
        if (head.ends_with("-->")) {
            start = head.rfind("<!--");
        } else if (head.ends_with("?>")) {
            start = head.rfind("<?");
        }
        if (start == std::string_view::npos) {
            return end;
        }
        end = start;
    }
}

} // namespace xml
