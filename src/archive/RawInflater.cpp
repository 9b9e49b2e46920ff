#include "archive/RawInflater.h"

#include "archive/ArchiveErrors.h"

#include <string>

namespace archive {

RawInflater::RawInflater()
{
    if (inflateInit2(&m_stream, -15) != Z_OK) {
        throw EZCompressionError("inflateInit2 failed");
    }
}

RawInflater::~RawInflater()
{
    inflateEnd(&m_stream);
}

void RawInflater::Input(const void* data, std::size_t size)
{
    m_stream.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    m_stream.avail_in = static_cast<uInt>(size);
}

std::size_t RawInflater::Output(void* out, std::size_t size, bool& finished)
{
    m_stream.next_out = static_cast<Bytef*>(out);
    m_stream.avail_out = static_cast<uInt>(size);
    // Z_FINISH: a stream that ends within this output needs no sliding window, which zlib would
    // otherwise allocate (32 KiB) and fill for every member, however small. A stream that goes on
    // keeps its window, and the call only reports Z_BUF_ERROR where it would report Z_OK.
    const int rc = inflate(&m_stream, Z_FINISH);
    const std::size_t produced = size - m_stream.avail_out;
    finished = rc == Z_STREAM_END;
    if (rc == Z_NEED_DICT || rc < 0) {
        // Z_BUF_ERROR only means that no progress was possible with the buffers given.
        if (rc == Z_BUF_ERROR) {
            return produced;
        }
        throw EZCompressionError(std::string("corrupt deflate data") +
                                 (m_stream.msg != nullptr ? std::string(" (") + m_stream.msg + ")" : ""));
    }
    return produced;
}

} // namespace archive
