// The least work any property reader must do: find the end record, walk the central directory for
// docProps/core.xml and docProps/app.xml, and inflate those two members. No relationships, no XML,
// no checks beyond what is needed not to crash. The load benchmark compares velmora-cli against it.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::uint32_t Le32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t Le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool ReadAt(int fd, void* buffer, std::size_t size, off_t offset)
{
    return pread(fd, buffer, size, offset) == static_cast<ssize_t>(size);
}

std::size_t InflateMember(int fd, const unsigned char* central)
{
    const std::uint16_t method = Le16(central + 10);
    const std::uint32_t compressed = Le32(central + 20);
    const std::uint32_t size = Le32(central + 24);
    const std::uint32_t localOffset = Le32(central + 42);
    unsigned char local[30];
    if (!ReadAt(fd, local, sizeof local, localOffset)) {
        return 0;
    }
    const off_t data = localOffset + 30 + Le16(local + 26) + Le16(local + 28);
    std::vector<unsigned char> input(compressed);
    if (!ReadAt(fd, input.data(), compressed, data)) {
        return 0;
    }
    if (method == 0) {
        return compressed;
    }
    std::vector<unsigned char> output(size + 1);
    z_stream stream{};
    inflateInit2(&stream, -MAX_WBITS);
    stream.next_in = input.data();
    stream.avail_in = compressed;
    stream.next_out = output.data();
    stream.avail_out = static_cast<uInt>(output.size());
    inflate(&stream, Z_FINISH);
    const std::size_t produced = stream.total_out;
    inflateEnd(&stream);
    return produced;
}

std::size_t ReadPackage(const char* path)
{
    const int fd = open(path, O_RDONLY);
    if (fd < 0) {
        return 0;
    }
    std::size_t total = 0;

    struct stat st
    {
    };

    fstat(fd, &st);
    const std::size_t tail = std::min<std::size_t>(st.st_size, 65535 + 22);
    std::vector<unsigned char> end(tail);
    if (ReadAt(fd, end.data(), tail, st.st_size - tail)) {
        for (std::size_t i = tail >= 22 ? tail - 22 + 1 : 0; i-- > 0;) {
            if (Le32(&end[i]) != 0x06054b50) {
                continue;
            }
            const std::uint32_t cdSize = Le32(&end[i + 12]);
            const std::uint32_t cdOffset = Le32(&end[i + 16]);
            std::vector<unsigned char> cd(cdSize);
            if (!ReadAt(fd, cd.data(), cdSize, cdOffset)) {
                break;
            }
            for (std::size_t p = 0; p + 46 <= cd.size() && Le32(&cd[p]) == 0x02014b50;) {
                const std::uint16_t nameLength = Le16(&cd[p + 28]);
                const std::string name(reinterpret_cast<const char*>(&cd[p + 46]), nameLength);
                if (name == "docProps/core.xml" || name == "docProps/app.xml") {
                    total += InflateMember(fd, &cd[p]);
                }
                p += 46 + nameLength + Le16(&cd[p + 30]) + Le16(&cd[p + 32]);
            }
            break;
        }
    }
    close(fd);
    return total;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t total = 0;
    for (int i = 1; i < argc; ++i) {
        total += ReadPackage(argv[i]);
    }
    std::printf("%d packages, %zu bytes of property parts\n", argc - 1, total);
    return 0;
}
