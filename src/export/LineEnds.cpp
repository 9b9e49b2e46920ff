#include "export/LineEnds.h"

namespace exporting {

void WriteWithLineEnds(std::ostream& out, std::string_view text)
{
    std::size_t lineStart = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        out.write(text.data() + lineStart, static_cast<std::streamsize>(i - lineStart));
        out.write("\r\n", 2);
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        lineStart = i;
    }
    if (lineStart < text.size()) {
        out.write(text.data() + lineStart, static_cast<std::streamsize>(text.size() - lineStart));
        out.write("\r\n", 2);
    }
}

} // namespace exporting
