#pragma once

#include "archive/AtomicReplace.h"
#include "engine/package/PackageFingerprint.h"

#include <string>

namespace engine {

// What a save tells the record keeper of its run (the save journal) around the replacement of a
// package: the entry of the package before anything is written, the package produced before it
// replaces the old one, and the replacement. A save knows the keeper only through this.
class SaveRecorder
{
public:
    virtual ~SaveRecorder() = default;

    // A package's entry: its CanonicalPath and the identity it had when the entry was recorded.
    struct RecordedPackage
    {
        std::string Key;
        archive::FileIdentity Identity;
    };

    // The package's entry, recorded afresh when the package is no longer the file it was. Safe to
    // call from several threads; throws when the entry cannot be recorded.
    [[nodiscard]] virtual RecordedPackage EnsureEntry(const std::string& package) = 0;
    // The package the save produced, noted before it replaces the old one; key as EnsureEntry gave it.
    virtual void RecordProduced(const std::string& key, const ProducedFacts& produced) = 0;
    virtual void RecordReplaced(const std::string& key) = 0;
};

} // namespace engine
