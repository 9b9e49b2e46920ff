#include "engine/package/SaveHooks.h"

#include "engine/base/CanonicalPath.h"
#include "engine/package/PackageFingerprint.h"
#include "engine/package/SaveRecorder.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <utility>

namespace engine {

void GiveModificationTime(int fd, std::int64_t seconds, std::int64_t nanoseconds)
{
    const timespec times[2] = {{0, UTIME_OMIT},
                               {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)}};
    if (futimens(fd, times) != 0) {
        throw std::runtime_error(std::string("cannot keep the modification time: ") + std::strerror(errno));
    }
}

SaveHooks::SaveHooks(const std::string& package,
                     const SaveOptions& options,
                     std::optional<archive::FileIdentity> expected)
    : m_options(options)
    , m_expected(std::move(expected))
{
    if (m_options.Journal != nullptr && !m_expected) {
        SaveRecorder::RecordedPackage recorded = m_options.Journal->EnsureEntry(package);
        m_expected = recorded.Identity;
        m_journalKey = std::move(recorded.Key);
    } else if (m_options.Journal != nullptr) {
        m_journalKey = CanonicalPath(package);
    }
    m_before = m_expected ? *m_expected : archive::IdentityOf(package);
}

archive::UpdateHooks SaveHooks::Hooks()
{
    archive::UpdateHooks hooks;
    hooks.ExpectedArchive = m_expected;
    hooks.BeforeReplace = [this](int fd) {
        if (m_options.KeepModificationTime) {
            GiveModificationTime(fd, m_before.MtimeSeconds, m_before.MtimeNanoseconds);
        }
        if (m_options.Journal != nullptr) {
            m_options.Journal->RecordProduced(m_journalKey, FactsOf(fd));
        }
    };
    return hooks;
}

void SaveHooks::Replaced() const
{
    if (m_options.Journal != nullptr) {
        m_options.Journal->RecordReplaced(m_journalKey);
    }
}

} // namespace engine
