#pragma once

#include <cstddef>
#include <memory>

namespace archive {

// A fixed-size work buffer left uninitialised: it is always filled before it is read, and clearing
// large I/O buffers would cost more than the reads of a small member.
class ByteBuffer
{
public:
    explicit ByteBuffer(std::size_t size)
        : m_data(std::make_unique_for_overwrite<unsigned char[]>(size))
        , m_size(size)
    {}

    [[nodiscard]] unsigned char* data() { return m_data.get(); }

    [[nodiscard]] const unsigned char* data() const { return m_data.get(); }

    // The same bytes as char, for the interfaces that take text-typed buffers.
    [[nodiscard]] char* chars() { return reinterpret_cast<char*>(m_data.get()); }

    [[nodiscard]] std::size_t size() const { return m_size; }

    unsigned char& operator[](std::size_t i) { return m_data[i]; }

private:
    std::unique_ptr<unsigned char[]> m_data;
    std::size_t m_size;
};

} // namespace archive
