#include "engine/package/OtherProgramLock.h"

#include "archive/Utf8.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace engine {

namespace {

namespace fs = std::filesystem;

// The programs write a few hundred bytes at most; a longer file is not theirs to read, but it still
// marks the package.
constexpr std::size_t kMaxLockFileBytes = 4096;

// Owner files hold at most this many characters of the user name.
constexpr std::size_t kMaxOwnerNameLength = 52;

class ReadOnlyFile
{
public:
    // O_NONBLOCK: a name taken by a FIFO between the check and the open must not hang the save.
    explicit ReadOnlyFile(const fs::path& path)
        : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY))
    {}

    ~ReadOnlyFile()
    {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }

    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // The whole file when it is readable and no longer than limit bytes.
    std::optional<std::string> ReadAll(std::size_t limit) const
    {
        if (m_fd < 0) {
            return std::nullopt;
        }
        std::string bytes(limit + 1, '\0');
        std::size_t length = 0;
        while (length < bytes.size()) {
            const ssize_t n = read(m_fd, bytes.data() + length, bytes.size() - length);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return std::nullopt;
            }
            if (n == 0) {
                break;
            }
            length += static_cast<std::size_t>(n);
        }
        if (length > limit) {
            return std::nullopt;
        }
        bytes.resize(length);
        return bytes;
    }

private:
    int m_fd;
};

// A name fit to be shown in a message: valid UTF-8 without control, line-breaking or bidirectional
// formatting characters, which could garble or disguise the message; surrounding blanks dropped.
std::string PrintableName(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    for (std::size_t pos = 0; pos < text.size();) {
        const archive::Utf8Step step = archive::DecodeUtf8(text, pos);
        const char32_t c = step.CodePoint;
        if (!step.Valid || c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x2028 && c <= 0x202E) ||
            (c >= 0x2066 && c <= 0x2069)) {
            return {};
        }
        pos += step.Length;
    }
    return std::string(text);
}

// A LibreOffice lock file is one entry of comma-separated fields ended by ';' (full name, user name,
// host, time, profile folder), with ',', ';' and '\' escaped by a backslash. The full name is empty
// when the user never entered one; the user name is then the best there is.
std::string LibreOfficeUser(std::string_view content)
{
    std::vector<std::string> fields(1);
    for (std::size_t pos = 0; pos < content.size() && fields.size() <= 2; ++pos) {
        const char c = content[pos];
        if (c == '\\') {
            if (pos + 1 == content.size()) {
                return {};
            }
            fields.back() += content[++pos];
        } else if (c == ',' || c == ';') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (fields.size() < 2) {
        return {}; // the first field never ended: not a lock entry
    }
    if (fields[0].find_first_not_of(' ') != std::string::npos || fields.size() < 3) {
        return PrintableName(fields[0]);
    }
    return PrintableName(fields[1]);
}

std::uint16_t Uint16At(std::string_view bytes, std::size_t pos)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[pos]) |
                                      static_cast<unsigned char>(bytes[pos + 1]) << 8);
}

// count UTF-16LE units from pos as UTF-8; empty when they are not well-formed UTF-16.
std::string Utf16Name(std::string_view bytes, std::size_t pos, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char32_t c = Uint16At(bytes, pos + 2 * i);
        if (c >= 0xDC00 && c <= 0xDFFF) {
            return {};
        }
        if (c >= 0xD800 && c <= 0xDBFF) {
            const char32_t low = ++i < count ? Uint16At(bytes, pos + 2 * i) : 0;
            if (low < 0xDC00 || low > 0xDFFF) {
                return {};
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
        archive::AppendUtf8(text, c);
    }
    return text;
}

// A Microsoft Office owner file starts with the name's length in one byte and the name in the
// system's 8-bit code page. The name follows again as a 16-bit length and UTF-16LE text, at byte 54
// (Word: zeros before it) or 55 (Excel and PowerPoint: blanks before it, so that a 16-bit length
// read at 54 would exceed any name). The UTF-16 copy is preferred: it is the only one whose letters
// outside ASCII can be told without knowing the code page.
std::string OfficeOwnerUser(std::string_view content)
{
    if (content.empty()) {
        return {};
    }
    const std::size_t length = static_cast<unsigned char>(content[0]);
    if (length == 0 || length > kMaxOwnerNameLength || content.size() < 1 + length) {
        return {};
    }
    for (const std::size_t at : {std::size_t{54}, std::size_t{55}}) {
        if (content.size() < at + 2) {
            break;
        }
        const std::size_t units = Uint16At(content, at);
        if (units > 0 && units <= kMaxOwnerNameLength && content.size() >= at + 2 + 2 * units) {
            if (std::string name = PrintableName(Utf16Name(content, at + 2, units)); !name.empty()) {
                return name;
            }
        }
    }
    const std::string_view narrow = content.substr(1, length);
    for (const char c : narrow) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return {}; // a code page we cannot know
        }
    }
    return PrintableName(narrow);
}

// The name without its first count characters; empty when that leaves nothing.
std::string WithoutLeadingCharacters(const std::string& name, std::size_t count)
{
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count && pos < name.size(); ++i) {
        pos += archive::DecodeUtf8(name, pos).Length;
    }
    return pos < name.size() ? name.substr(pos) : std::string();
}

// The owner file names that Office may give a document called name. Word replaces the first two
// characters of a name whose stem (the part before the extension) is eight characters or longer,
// and the first one of a seven-character stem; a shorter name keeps all of them, so that "~$b.pptx"
// marks b.pptx and never ab.pptx.
std::vector<std::string> OwnerFileNames(const std::string& name)
{
    std::vector<std::string> names{"~$" + name};
    const std::size_t dot = name.rfind('.');
    const std::size_t stem = archive::CountCodePoints(
        std::string_view(name).substr(0, dot == std::string::npos ? name.size() : dot));
    const std::size_t dropped = stem >= 8 ? 2 : stem == 7 ? 1 : 0;
    if (dropped > 0) {
        names.push_back("~$" + WithoutLeadingCharacters(name, dropped));
    }
    return names;
}

bool IsRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::optional<OtherProgramLock> LockBeside(const fs::path& package)
{
    const std::string name = package.filename().string();
    if (name.empty()) {
        return std::nullopt;
    }
    const fs::path folder = package.parent_path();
    if (const std::string lockName = ".~lock." + name + "#"; IsRegularFile(folder / lockName)) {
        const auto content = ReadOnlyFile(folder / lockName).ReadAll(kMaxLockFileBytes);
        return OtherProgramLock{lockName, content ? LibreOfficeUser(*content) : std::string()};
    }
    for (const std::string& ownerName : OwnerFileNames(name)) {
        // A package whose own name starts with "~$" must not count as its own owner file.
        if (ownerName != name && IsRegularFile(folder / ownerName)) {
            const auto content = ReadOnlyFile(folder / ownerName).ReadAll(kMaxLockFileBytes);
            return OtherProgramLock{ownerName, content ? OfficeOwnerUser(*content) : std::string()};
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<OtherProgramLock> FindOtherProgramLock(const std::string& package)
{
    try {
        const fs::path path(package);
        if (auto lock = LockBeside(path)) {
            return lock;
        }
        // The programs open a link's target, and their lock files lie beside that.
        std::error_code error;
        if (fs::is_symlink(path, error)) {
            const fs::path target = fs::canonical(path, error);
            if (!error) {
                return LockBeside(target);
            }
        }
        return std::nullopt;
    } catch (...) {
        return std::nullopt; // out of memory while forming a name: nothing could be looked at
    }
}

namespace {

constexpr std::string_view kOpenElsewhereStart = "open in another program (lock file ";

} // namespace

std::string OpenElsewhereMessage(const OtherProgramLock& lock, std::string_view overrideHint)
{
    std::string message = std::string(kOpenElsewhereStart) + lock.LockFile;
    if (!lock.User.empty()) {
        message += ", by " + lock.User;
    }
    return message + "): close it there, or " + std::string(overrideHint);
}

bool IsOpenElsewhereMessage(std::string_view message)
{
    return message.substr(0, kOpenElsewhereStart.size()) == kOpenElsewhereStart;
}

} // namespace engine
