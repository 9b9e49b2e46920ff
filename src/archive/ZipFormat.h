#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// On-disk constants of the ZIP format and little-endian field access, shared by reading and writing.
namespace archive {

inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
inline constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
inline constexpr std::uint32_t kEndCentralSignature = 0x06054b50;
inline constexpr std::uint32_t kZip64EndCentralSignature = 0x06064b50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr std::uint32_t kDataDescriptorSignature = 0x08074b50;

inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralHeaderSize = 46;
inline constexpr std::size_t kEndCentralSize = 22;
inline constexpr std::size_t kZip64LocatorSize = 20;
inline constexpr std::size_t kZip64EndCentralSize = 56;
inline constexpr std::size_t kMaxCommentLength = 65535;

inline constexpr std::uint16_t kZip64ExtraId = 0x0001;
inline constexpr std::uint32_t kMarker32 = 0xFFFFFFFF;
inline constexpr std::uint16_t kMarker16 = 0xFFFF;

inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr std::uint16_t kFlagUtf8 = 0x0800;

inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;

inline constexpr std::uint8_t kHostDos = 0;
inline constexpr std::uint8_t kHostUnix = 3;

inline std::uint16_t GetU16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t GetU32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t GetU64(const unsigned char* p)
{
    return static_cast<std::uint64_t>(GetU32(p)) | (static_cast<std::uint64_t>(GetU32(p + 4)) << 32);
}

inline std::uint16_t GetU16(const char* p)
{
    return GetU16(reinterpret_cast<const unsigned char*>(p));
}

inline std::uint32_t GetU32(const char* p)
{
    return GetU32(reinterpret_cast<const unsigned char*>(p));
}

inline std::uint64_t GetU64(const char* p)
{
    return GetU64(reinterpret_cast<const unsigned char*>(p));
}

inline void PutU16(std::string& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

inline void PutU32(std::string& out, std::uint32_t v)
{
    PutU16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

inline void PutU64(std::string& out, std::uint64_t v)
{
    PutU32(out, static_cast<std::uint32_t>(v & 0xFFFFFFFF));
    PutU32(out, static_cast<std::uint32_t>(v >> 32));
}

} // namespace archive
