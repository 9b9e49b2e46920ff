#include "archive/ZipInspector.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <stdexcept>

namespace writertest {

namespace {

std::uint64_t Get(const std::string& b, std::size_t pos, int width)
{
    if (pos + static_cast<std::size_t>(width) > b.size()) {
        throw std::runtime_error("read past the end of the archive");
    }
    std::uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[pos + static_cast<std::size_t>(i)]);
    }
    return v;
}

// Splits off the Zip64 block and returns its values in order.
std::vector<std::uint64_t> TakeZip64(std::string& extra, std::vector<int> widths)
{
    std::string rest;
    std::vector<std::uint64_t> values;
    std::size_t pos = 0;
    while (pos + 4 <= extra.size()) {
        const auto id = Get(extra, pos, 2);
        const auto size = Get(extra, pos + 2, 2);
        if (id == 1) {
            std::size_t p = pos + 4;
            for (int w : widths) {
                if (p + static_cast<std::size_t>(w) <= pos + 4 + size) {
                    values.push_back(Get(extra, p, w));
                    p += static_cast<std::size_t>(w);
                }
            }
        } else {
            rest += extra.substr(pos, 4 + size);
        }
        pos += 4 + size;
    }
    rest += extra.substr(std::min(pos, extra.size()));
    extra = rest;
    return values;
}

} // namespace

InspectedArchive Inspect(const std::string& b)
{
    InspectedArchive archive;
    std::size_t end = b.size() < 22 ? std::string::npos : b.size() - 22;
    while (end != std::string::npos && Get(b, end, 4) != 0x06054b50) {
        end = end == 0 ? std::string::npos : end - 1;
    }
    if (end == std::string::npos) {
        throw std::runtime_error("no end record");
    }
    std::uint64_t entries = Get(b, end + 10, 2);
    std::uint64_t cdOffset = Get(b, end + 16, 4);
    archive.Comment = b.substr(end + 22, Get(b, end + 20, 2));
    if (end >= 20 && Get(b, end - 20, 4) == 0x07064b50) {
        const auto z = Get(b, end - 20 + 8, 8);
        if (Get(b, z, 4) != 0x06064b50) {
            throw std::runtime_error("bad Zip64 end record");
        }
        archive.Zip64End = true;
        entries = Get(b, z + 32, 8);
        cdOffset = Get(b, z + 48, 8);
    }
    std::size_t pos = cdOffset;
    for (std::uint64_t i = 0; i < entries; ++i) {
        if (Get(b, pos, 4) != 0x02014b50) {
            throw std::runtime_error("bad central record");
        }
        InspectedMember m;
        m.VersionMadeBy = static_cast<std::uint16_t>(Get(b, pos + 4, 2));
        m.VersionNeeded = static_cast<std::uint16_t>(Get(b, pos + 6, 2));
        m.Flags = static_cast<std::uint16_t>(Get(b, pos + 8, 2));
        m.Method = static_cast<std::uint16_t>(Get(b, pos + 10, 2));
        m.DosDateTime = static_cast<std::uint32_t>(Get(b, pos + 12, 4));
        m.Crc32 = static_cast<std::uint32_t>(Get(b, pos + 16, 4));
        m.CompressedSize = Get(b, pos + 20, 4);
        m.UncompressedSize = Get(b, pos + 24, 4);
        const auto n = Get(b, pos + 28, 2);
        const auto x = Get(b, pos + 30, 2);
        const auto k = Get(b, pos + 32, 2);
        m.InternalAttributes = static_cast<std::uint16_t>(Get(b, pos + 36, 2));
        m.ExternalAttributes = static_cast<std::uint32_t>(Get(b, pos + 38, 4));
        m.Offset = Get(b, pos + 42, 4);
        m.Name = b.substr(pos + 46, n);
        m.CentralExtra = b.substr(pos + 46 + n, x);
        m.Comment = b.substr(pos + 46 + n + x, k);
        std::vector<int> widths;
        std::vector<std::uint64_t*> targets;
        for (auto* field : {&m.UncompressedSize, &m.CompressedSize, &m.Offset}) {
            if (*field == 0xFFFFFFFF) {
                widths.push_back(8);
                targets.push_back(field);
            }
        }
        m.CentralZip64 = !widths.empty();
        const auto values = TakeZip64(m.CentralExtra, widths);
        for (std::size_t v = 0; v < values.size() && v < targets.size(); ++v) {
            *targets[v] = values[v];
        }
        pos += 46 + n + x + k;

        const std::size_t local = m.Offset;
        if (Get(b, local, 4) != 0x04034b50) {
            throw std::runtime_error("bad local header of " + m.Name);
        }
        m.LocalFlags = static_cast<std::uint16_t>(Get(b, local + 6, 2));
        m.LocalCrc32 = static_cast<std::uint32_t>(Get(b, local + 14, 4));
        m.LocalCompressedSize = Get(b, local + 18, 4);
        m.LocalUncompressedSize = Get(b, local + 22, 4);
        const auto ln = Get(b, local + 26, 2);
        const auto lx = Get(b, local + 28, 2);
        m.LocalName = b.substr(local + 30, ln);
        m.LocalExtra = b.substr(local + 30 + ln, lx);
        if (m.LocalUncompressedSize == 0xFFFFFFFF) {
            const auto sizes = TakeZip64(m.LocalExtra, {8, 8});
            if (sizes.size() == 2) {
                m.LocalUncompressedSize = sizes[0];
                m.LocalCompressedSize = sizes[1];
            }
        } else {
            TakeZip64(m.LocalExtra, {});
        }
        const std::size_t data = local + 30 + ln + lx;
        m.Data = b.substr(data, m.CompressedSize);
        m.AfterData = b.substr(data + m.CompressedSize, 16);
        archive.Members.push_back(std::move(m));
    }
    return archive;
}

InspectedArchive InspectFile(const std::filesystem::path& path)
{
    return Inspect(testsupport::ReadFileBytes(path));
}

std::string Content(const InspectedMember& member)
{
    if (member.Method == 0) {
        return member.Data;
    }
    std::string out(member.UncompressedSize, '\0');
    z_stream zs{};
    inflateInit2(&zs, -15);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(member.Data.data()));
    zs.avail_in = static_cast<uInt>(member.Data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&zs, Z_FINISH);
    inflateEnd(&zs);
    if (rc != Z_STREAM_END || zs.total_out != out.size()) {
        throw std::runtime_error("cannot inflate " + member.Name);
    }
    return out;
}

bool AcceptedByOtherTools(const std::filesystem::path& archive, std::string* report)
{
    int pythonCode = -1;
    int unzipCode = -1;
    const std::string quoted = "'" + archive.string() + "'";
    const std::string python = testsupport::RunCommand(
        "python3 -c 'import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); bad=z.testzip(); "
        "print(bad if bad else \"ok\"); sys.exit(1 if bad else 0)' " +
            quoted + " 2>&1",
        &pythonCode);
    const std::string unzip = testsupport::RunCommand("unzip -tqq " + quoted + " 2>&1", &unzipCode);
    if (report != nullptr) {
        *report = "python: " + python + "unzip: " + unzip;
    }
    return pythonCode == 0 && unzipCode == 0;
}

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 engine(seed);
    std::string s(size, '\0');
    for (char& c : s) {
        c = static_cast<char>(engine() & 0xFF);
    }
    return s;
}

} // namespace writertest
