#include "support/ZipLayout.h"

#include <algorithm>
#include <stdexcept>

namespace testsupport {

std::uint32_t Get16(const std::string& bytes, std::size_t at)
{
    if (at + 2 > bytes.size()) {
        throw std::runtime_error("ZipLayout: read past the end");
    }
    return static_cast<std::uint8_t>(bytes[at]) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8);
}

std::uint32_t Get32(const std::string& bytes, std::size_t at)
{
    return Get16(bytes, at) | (Get16(bytes, at + 2) << 16);
}

void Set16(std::string& bytes, std::size_t at, std::uint32_t value)
{
    bytes.at(at) = static_cast<char>(value & 0xFF);
    bytes.at(at + 1) = static_cast<char>((value >> 8) & 0xFF);
}

void Set32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    Set16(bytes, at, value & 0xFFFF);
    Set16(bytes, at + 2, value >> 16);
}

ZipLayout ZipLayout::Parse(const std::string& zip)
{
    if (zip.size() < 22) {
        throw std::runtime_error("ZipLayout: too short");
    }
    ZipLayout layout;
    layout.endOffset = zip.size() - 22;
    if (Get32(zip, layout.endOffset) != 0x06054b50) {
        throw std::runtime_error("ZipLayout: no end record at the end (archive comment or Zip64?)");
    }
    const std::uint32_t count = Get16(zip, layout.endOffset + 10);
    layout.centralOffset = Get32(zip, layout.endOffset + 16);
    std::size_t at = layout.centralOffset;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (Get32(zip, at) != 0x02014b50) {
            throw std::runtime_error("ZipLayout: bad central record");
        }
        Member m;
        m.centralOffset = at;
        const std::size_t nameLength = Get16(zip, at + 28);
        const std::size_t extraLength = Get16(zip, at + 30);
        const std::size_t commentLength = Get16(zip, at + 32);
        m.name = zip.substr(at + 46, nameLength);
        m.centralEnd = at + 46 + nameLength + extraLength + commentLength;
        m.localOffset = Get32(zip, at + 42);
        if (Get32(zip, m.localOffset) != 0x04034b50) {
            throw std::runtime_error("ZipLayout: bad local header");
        }
        m.dataOffset = m.localOffset + 30 + Get16(zip, m.localOffset + 26) + Get16(zip, m.localOffset + 28);
        m.dataEnd = m.dataOffset + Get32(zip, at + 20);
        layout.members.push_back(m);
        at = m.centralEnd;
    }
    return layout;
}

std::vector<std::size_t> ZipLayout::Boundaries() const
{
    std::vector<std::size_t> cuts;
    for (const Member& m : members) {
        cuts.insert(cuts.end(), {m.localOffset, m.localOffset + 4, m.localOffset + 26, m.localOffset + 30,
                                 m.dataOffset, m.dataOffset + (m.dataEnd - m.dataOffset) / 2, m.dataEnd,
                                 m.centralOffset, m.centralOffset + 4, m.centralOffset + 46, m.centralEnd});
    }
    cuts.insert(cuts.end(),
                {centralOffset, endOffset, endOffset + 4, endOffset + 10, endOffset + 16, endOffset + 20});
    const std::size_t total = endOffset + 22;
    cuts.erase(std::remove_if(cuts.begin(), cuts.end(), [&](std::size_t c) { return c == 0 || c >= total; }),
               cuts.end());
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

std::string CentralRecord(const std::string& zip, const ZipLayout& layout, std::size_t i)
{
    const ZipLayout::Member& m = layout.members.at(i);
    return zip.substr(m.centralOffset, m.centralEnd - m.centralOffset);
}

std::string WithCentralRecords(const std::string& zip, const std::vector<std::string>& records)
{
    const ZipLayout layout = ZipLayout::Parse(zip);
    std::string out = zip.substr(0, layout.centralOffset);
    std::string central;
    for (const std::string& r : records) {
        central += r;
    }
    out += central;
    std::string end = zip.substr(layout.endOffset, 22);
    Set16(end, 8, static_cast<std::uint32_t>(records.size() & 0xFFFF));
    Set16(end, 10, static_cast<std::uint32_t>(records.size() & 0xFFFF));
    Set32(end, 12, static_cast<std::uint32_t>(central.size()));
    Set32(end, 16, static_cast<std::uint32_t>(layout.centralOffset));
    return out + end;
}

} // namespace testsupport
