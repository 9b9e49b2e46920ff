#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

// Extended attributes set and read with the system calls themselves, for the tests of what a
// replaced file keeps.
namespace testsupport {

using AttributeMap = std::map<std::string, std::string>;

// Sets the attribute; the error number, or 0.
int SetAttribute(const std::filesystem::path& path, const std::string& name, const std::string& value);

// Every extended attribute of the file, by name; throws when they cannot be read.
AttributeMap AttributesOf(const std::filesystem::path& path);

// The value of system.posix_acl_access for the mode's owner, group and other bits, a user entry
// giving uid read and write, and a mask of read and write (the group bits of a file that has it).
std::string AccessAcl(std::uint32_t mode, std::uint32_t uid);

// The one line a test gives when it skips because the folder's file system keeps no user.*
// attributes; empty when it does.
std::string UserAttributesMissing(const std::filesystem::path& folder);

} // namespace testsupport
