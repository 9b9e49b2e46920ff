#pragma once

#include "archive/UpdatePackage.h"
#include "engine/package/SaveDocument.h"

#include <cstdint>
#include <optional>
#include <string>

namespace engine {

// Gives the open file the modification time. Throws std::runtime_error.
void GiveModificationTime(int fd, std::int64_t seconds, std::int64_t nanoseconds);

// What a package update adds for the save options: the package must still be the file it was
// when its journal entry was recorded (or the given one), the new archive is noted in the journal
// (size, time, directory digest) before it replaces the package, and it gets the old modification
// time.
class SaveHooks
{
public:
    // Throws when the journal entry cannot be recorded.
    SaveHooks(const std::string& package,
              const SaveOptions& options,
              std::optional<archive::FileIdentity> expected = std::nullopt);
    SaveHooks(const SaveHooks&) = delete;
    SaveHooks& operator=(const SaveHooks&) = delete;

    // Valid while this object lives.
    [[nodiscard]] archive::UpdateHooks Hooks();
    // After the update replaced the package.
    void Replaced() const;

private:
    SaveOptions m_options;
    std::string m_journalKey; // with a journal: the package's entry in it
    std::optional<archive::FileIdentity> m_expected;
    archive::FileIdentity m_before;
};

} // namespace engine
