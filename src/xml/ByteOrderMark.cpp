#include "xml/ByteOrderMark.h"

namespace xml {

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

} // namespace xml
