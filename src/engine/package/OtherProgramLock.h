#pragma once

#include <optional>
#include <string>
#include <string_view>

// Office programs mark a document they have open with a small file beside it, and write their own
// copy over the document when they save. A package marked this way is not ours to save.
namespace engine {

// A lock or owner file that another program keeps beside a package it has open.
struct OtherProgramLock
{
    std::string LockFile; // the lock file's name, e.g. ".~lock.deck.pptx#" or "~$deck.pptx"
    std::string User;     // who holds it, from the lock file's content; empty when unknown
};

// The lock file of the package at path, if one exists in its folder: a LibreOffice/OpenOffice
// lock file ".~lock.NAME#" or a Microsoft Office owner file "~$NAME", or "~$" followed by NAME
// without its first one or two characters. Never throws.
std::optional<OtherProgramLock> FindOtherProgramLock(const std::string& package);

// "open in another program (lock file NAME, by USER): close it there, or save with --ignore-locks"
// (", by USER" left out when unknown); overrideHint names the way past the lock.
std::string OpenElsewhereMessage(const OtherProgramLock& lock,
                                 std::string_view overrideHint = "save with --ignore-locks");

// Whether message is one made by OpenElsewhereMessage: the package was left alone for its lock file.
[[nodiscard]] bool IsOpenElsewhereMessage(std::string_view message);

} // namespace engine
