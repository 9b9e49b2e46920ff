// The least work a durable save of two properties must do, as the save benchmark's floor: read
// the package, inflate docProps/core.xml and docProps/app.xml, put a new Title and Company into
// them by plain text replacement, deflate them again, copy every other member raw, write the new
// archive to a temporary file beside the package, fsync it, rename it over the package and fsync
// the folder. No XML parser, no checks beyond what is needed not to crash, one thread.
// Usage: velmora_floor_writer TITLE COMPANY PACKAGE...
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t Le32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t Le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void Put16(unsigned char* p, std::uint32_t v)
{
    p[0] = v & 0xff;
    p[1] = (v >> 8) & 0xff;
}

void Put32(unsigned char* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

std::string Inflate(const unsigned char* data, std::uint32_t compressed, std::uint32_t size)
{
    std::string out(size, '\0');
    z_stream stream{};
    inflateInit2(&stream, -MAX_WBITS);
    stream.next_in = const_cast<unsigned char*>(data);
    stream.avail_in = compressed;
    stream.next_out = reinterpret_cast<unsigned char*>(out.data());
    stream.avail_out = size;
    inflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return out;
}

Bytes Deflate(const std::string& text)
{
    z_stream stream{};
    deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&stream, text.size()));
    stream.next_in = reinterpret_cast<unsigned char*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// Replaces the text of <tag>…</tag>, or adds the element before the closing root tag.
void SetElement(std::string& xml, const std::string& tag, const std::string& value)
{
    const std::string open = "<" + tag + ">";
    const std::string close = "</" + tag + ">";
    const std::size_t start = xml.find(open);
    if (start != std::string::npos) {
        const std::size_t end = xml.find(close, start);
        xml.replace(start + open.size(), end - start - open.size(), value);
        return;
    }
    xml.insert(xml.rfind("</"), open + value + close);
}

bool WriteAll(int fd, const Bytes& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool SavePackage(const std::string& path, const std::string& title, const std::string& company)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }

    struct stat st
    {
    };

    fstat(fd, &st);
    Bytes in(static_cast<std::size_t>(st.st_size));
    const bool read = pread(fd, in.data(), in.size(), 0) == static_cast<ssize_t>(in.size());
    close(fd);
    if (!read || in.size() < 22) {
        return false;
    }
    std::size_t end = in.size() - 22;
    while (end > 0 && Le32(&in[end]) != 0x06054b50) {
        --end;
    }
    const std::uint32_t cdOffset = Le32(&in[end + 16]);

    Bytes out;
    out.reserve(in.size() + 4096);
    Bytes central;
    std::uint16_t count = 0;
    for (std::size_t p = cdOffset; p + 46 <= end && Le32(&in[p]) == 0x02014b50; ++count) {
        const unsigned char* record = &in[p];
        const std::uint16_t nameLength = Le16(record + 28);
        const std::size_t recordSize = 46 + nameLength + Le16(record + 30) + Le16(record + 32);
        const std::string name(reinterpret_cast<const char*>(record + 46), nameLength);
        const std::uint32_t localOffset = Le32(record + 42);
        const unsigned char* local = &in[localOffset];
        const std::size_t dataStart = localOffset + 30 + Le16(local + 26) + Le16(local + 28);
        const std::uint32_t compressed = Le32(record + 20);

        std::size_t centralAt = central.size();
        central.insert(central.end(), record, record + recordSize);
        Put32(&central[centralAt + 42], static_cast<std::uint32_t>(out.size()));
        const bool core = name == "docProps/core.xml";
        if (core || name == "docProps/app.xml") {
            std::string xml = Inflate(&in[dataStart], compressed, Le32(record + 24));
            SetElement(xml, core ? "dc:title" : "Company", core ? title : company);
            const Bytes packed = Deflate(xml);
            const std::uint32_t crc =
                crc32(0, reinterpret_cast<const unsigned char*>(xml.data()), static_cast<uInt>(xml.size()));
            unsigned char header[30];
            std::memcpy(header, local, 30);
            Put16(header + 6, 0); // no data descriptor
            Put16(header + 8, 8);
            Put32(header + 14, crc);
            Put32(header + 18, static_cast<std::uint32_t>(packed.size()));
            Put32(header + 22, static_cast<std::uint32_t>(xml.size()));
            Put16(header + 28, 0);
            out.insert(out.end(), header, header + 30);
            out.insert(out.end(), name.begin(), name.end());
            out.insert(out.end(), packed.begin(), packed.end());
            Put16(&central[centralAt + 8], 0);
            Put16(&central[centralAt + 10], 8);
            Put32(&central[centralAt + 16], crc);
            Put32(&central[centralAt + 20], static_cast<std::uint32_t>(packed.size()));
            Put32(&central[centralAt + 24], static_cast<std::uint32_t>(xml.size()));
        } else {
            out.insert(out.end(), local, local + (dataStart - localOffset) + compressed);
        }
        p += recordSize;
    }
    unsigned char record[22];
    std::memcpy(record, &in[end], 22);
    Put16(record + 8, count);
    Put16(record + 10, count);
    Put32(record + 12, static_cast<std::uint32_t>(central.size()));
    Put32(record + 16, static_cast<std::uint32_t>(out.size()));
    Put16(record + 20, 0);
    out.insert(out.end(), central.begin(), central.end());
    out.insert(out.end(), record, record + 22);

    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string temporary = folder + "/.floor-XXXXXX";
    const int outFd = mkstemp(temporary.data());
    if (outFd < 0) {
        return false;
    }
    const bool written = WriteAll(outFd, out) && fsync(outFd) == 0;
    close(outFd);
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    fsync(dirFd);
    close(dirFd);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TITLE COMPANY PACKAGE...\n", argv[0]);
        return 2;
    }
    int failed = 0;
    for (int i = 3; i < argc; ++i) {
        if (!SavePackage(argv[i], argv[1], argv[2])) {
            std::fprintf(stderr, "%s: not saved\n", argv[i]);
            ++failed;
        }
    }
    std::printf("%d packages saved\n", argc - 3 - failed);
    return failed == 0 ? 0 : 1;
}
