#pragma once

#include <zlib.h>

#include <cstddef>

// A raw deflate decoder (no zlib header, window bits -15) that owns its z_stream.
namespace archive {

class RawInflater
{
public:
    RawInflater();
    ~RawInflater();
    RawInflater(const RawInflater&) = delete;
    RawInflater& operator=(const RawInflater&) = delete;

    void Input(const void* data, std::size_t size);

    [[nodiscard]] std::size_t InputLeft() const { return m_stream.avail_in; }

    // Decodes into out; returns the number of bytes produced. Sets finished at the end of the stream.
    // A zlib failure throws EZCompressionError with zlib's message.
    std::size_t Output(void* out, std::size_t size, bool& finished);

private:
    z_stream m_stream{};
};

} // namespace archive
