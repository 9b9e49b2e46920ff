#include "support/ExtendedAttributes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/xattr.h>
#include <unistd.h>

namespace testsupport {

int SetAttribute(const std::filesystem::path& path, const std::string& name, const std::string& value)
{
    return setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0 ? 0 : errno;
}

AttributeMap AttributesOf(const std::filesystem::path& path)
{
    std::string names(65536, '\0');
    const ssize_t listed = listxattr(path.c_str(), names.data(), names.size());
    if (listed < 0) {
        throw std::runtime_error(path.string() + ": listxattr: " + std::strerror(errno));
    }
    names.resize(static_cast<std::size_t>(listed));
    AttributeMap attributes;
    for (std::size_t start = 0; start < names.size();) {
        const std::string name = names.c_str() + start;
        start += name.size() + 1;
        std::string value(65536, '\0');
        const ssize_t read = getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (read < 0) {
            throw std::runtime_error(path.string() + ": getxattr " + name + ": " + std::strerror(errno));
        }
        value.resize(static_cast<std::size_t>(read));
        attributes[name] = value;
    }
    return attributes;
}

namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void PutEntry(std::string& out, std::uint16_t tag, std::uint16_t permissions, std::uint32_t id)
{
    PutLittleEndian(out, tag, 2);
    PutLittleEndian(out, permissions, 2);
    PutLittleEndian(out, id, 4);
}

} // namespace

std::string AccessAcl(std::uint32_t mode, std::uint32_t uid)
{
    // Version 2, then the entries in the order of their tags (user object, user, group object, mask,
    // other); those that name nobody carry the undefined id, as the system gives them back.
    constexpr std::uint32_t kUndefined = 0xFFFFFFFF;
    std::string acl;
    PutLittleEndian(acl, 2, 4);
    PutEntry(acl, 0x01, static_cast<std::uint16_t>((mode >> 6) & 7), kUndefined);
    PutEntry(acl, 0x02, 6, uid);
    PutEntry(acl, 0x04, static_cast<std::uint16_t>((mode >> 3) & 7), kUndefined);
    PutEntry(acl, 0x10, 6, kUndefined);
    PutEntry(acl, 0x20, static_cast<std::uint16_t>(mode & 7), kUndefined);
    return acl;
}

std::string UserAttributesMissing(const std::filesystem::path& folder)
{
    const std::filesystem::path probe = folder / ".user-attribute-probe";
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return "cannot create " + probe.string();
    }
    close(fd);
    const int error = SetAttribute(probe, "user.probe", "1");
    unlink(probe.c_str());
    return error == 0 ? std::string()
                      : "the file system of " + folder.string() +
                            " keeps no user.* attributes: " + std::strerror(error);
}

} // namespace testsupport
