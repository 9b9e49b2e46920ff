#include "engine/journal/SaveJournal.h"

#include "archive/TArchiveReader.h"
#include "engine/record/CustomProperties.h"
#include "engine/parts/CustomPropertiesPart.h"
#include "engine/journal/JournalStore.h"
#include "engine/parts/PartLocator.h"
#include "engine/parts/PropertyParts.h"
#include "engine/record/PendingChanges.h"
#include "engine/base/OrderedPool.h"
#include "engine/base/UsableCores.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace fs = std::filesystem;

namespace {

// The members a save of the package may rewrite, as the package holds them now.
std::vector<JournalMember> MembersASaveMayRewrite(const std::string& package)
{
    archive::TArchiveReader reader;
    reader.ZipName = package;
    reader.DoProcessMessages = false;
    reader.OpenDirectory();
    const PropertyPartLocation parts = LocatePropertyParts(reader);
    const std::pair<const archive::TZipHeaderInfo*, std::string_view> candidates[] = {
        {parts.Core, kCorePartName},
        {parts.App, kAppPartName},
        {parts.Custom, kCustomPartName},
        {FindPart(reader, kContentTypesName), kContentTypesName},
        {FindPart(reader, kPackageRelsName), kPackageRelsName},
    };
    std::vector<JournalMember> members;
    for (const auto& [member, fallback] : candidates) {
        if (member != nullptr) {
            members.push_back({member->Name, reader.ExtractToMemory(*member, kMaxPartBytes)});
        } else {
            members.push_back({std::string(fallback), std::nullopt});
        }
    }
    return members;
}

void SyncPath(const fs::path& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

std::string RunIdNow()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    char ms[8];
    std::snprintf(ms, sizeof ms, "%03d", static_cast<int>(millis));
    return std::string(text) + "-" + ms + "-" + std::to_string(getpid());
}

} // namespace

SaveJournal::SaveJournal(fs::path root, std::vector<std::string> properties, JournalLimits limits)
    : m_root(std::move(root))
    , m_limits(limits)
{
    std::error_code ec;
    fs::create_directories(m_root, ec);
    // The journal holds document text: only its owner may read it.
    if (ec || chmod(m_root.c_str(), 0700) != 0) {
        throw EJournalError(Failure(ec ? ec.message() : std::strerror(errno)));
    }
    const std::string base = RunIdNow();
    for (int attempt = 0; m_folder.empty(); ++attempt) {
        m_id = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        const fs::path folder = m_root / m_id;
        if (mkdir(folder.c_str(), 0700) == 0) {
            m_folder = folder;
        } else if (errno != EEXIST || attempt > 100) {
            throw EJournalError(Failure(std::strerror(errno)));
        }
    }
    PutField(m_header, "time", std::to_string(std::time(nullptr)));
    std::string joined;
    for (const std::string& property : properties) {
        joined += (joined.empty() ? "" : ",") + property;
    }
    PutField(m_header, "properties", joined);
    const fs::path outcomes = m_folder / kJournalOutcomesFile;
    m_outcomesFd = open(outcomes.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (m_outcomesFd < 0) {
        throw EJournalError(Failure(std::strerror(errno)));
    }
}

SaveJournal::~SaveJournal()
{
    if (m_outcomesFd >= 0) {
        close(m_outcomesFd);
    }
    if (!m_produced && !m_folder.empty()) {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
    }
}

std::string SaveJournal::Failure(const std::string& reason) const
{
    return "cannot write the save journal " + m_root.string() + ": " + reason;
}

void SaveJournal::RecordBefore(const std::vector<std::string>& packages)
{
    std::lock_guard lock(m_mutex);
    WriteEntries(packages, false);
}

void SaveJournal::WriteEntries(const std::vector<std::string>& packages, bool readFailuresThrow)
{
    // The packages are read on every core (the saves wait for this), and written down in order.
    struct Read
    {
        JournalEntry Entry;
        archive::FileIdentity Before;
        std::exception_ptr Failure;
    };

    std::vector<Read> reads(packages.size());
    RunInOrder(
        packages.size(), UsableCores(), Progress{},
        [&](std::size_t i, unsigned) {
            Read& read = reads[i];
            try {
                read.Entry.Package = CanonicalPath(packages[i]);
                read.Before = archive::IdentityOf(read.Entry.Package);
                read.Entry.HasMtimeBefore = true;
                read.Entry.MtimeBeforeSeconds = read.Before.MtimeSeconds;
                read.Entry.MtimeBeforeNanoseconds = read.Before.MtimeNanoseconds;
                read.Entry.Members = MembersASaveMayRewrite(read.Entry.Package);
                if (!archive::IdentityOf(read.Entry.Package).SameFileAndContent(read.Before)) {
                    throw std::runtime_error("the package changed while it was read for the journal");
                }
            } catch (...) {
                read.Failure = std::current_exception();
            }
        },
        [](std::size_t, bool) {});
    std::string bytes = m_header;
    std::map<std::string, archive::FileIdentity> recorded;
    for (const Read& read : reads) {
        if (read.Failure) {
            if (!readFailuresThrow) {
                continue; // its save records it again, or reports why it cannot be read
            }
            std::rethrow_exception(read.Failure);
        }
        recorded[read.Entry.Package] = read.Before;
        PutEntry(bytes, read.Entry);
    }
    const std::string name =
        std::string(kJournalEntriesFile) + (m_entriesFiles == 0 ? "" : "." + std::to_string(m_entriesFiles));
    try {
        WriteJournalFile(m_folder / name, bytes);
        if (m_entriesFiles == 0) {
            SyncPath(m_root); // the run's folder itself
        }
    } catch (const std::exception& e) {
        throw EJournalError(Failure(e.what()));
    }
    ++m_entriesFiles;
    for (auto& [key, identity] : recorded) {
        m_recorded[key] = identity;
    }
}

SaveJournal::RecordedPackage SaveJournal::EnsureEntry(const std::string& package)
{
    std::string key = CanonicalPath(package);
    std::lock_guard lock(m_mutex);
    const archive::FileIdentity now = archive::IdentityOf(key);
    const auto it = m_recorded.find(key);
    if (it == m_recorded.end() || !it->second.SameFileAndContent(now)) {
        WriteEntries({key}, true);
    }
    archive::FileIdentity identity = m_recorded.at(key);
    return {std::move(key), identity};
}

void SaveJournal::AppendOutcome(const std::string& fields)
{
    std::lock_guard lock(m_mutex);
    // One write of an O_APPEND file: records of concurrent saves never interleave.
    const ssize_t n = write(m_outcomesFd, fields.data(), fields.size());
    if (n != static_cast<ssize_t>(fields.size())) {
        throw EJournalError(Failure(n < 0 ? std::strerror(errno) : "short write"));
    }
}

void SaveJournal::RecordProduced(const std::string& key, const ProducedFacts& produced)
{
    JournalEntry entry;
    entry.Package = key;
    entry.Produced = true;
    entry.Made = produced;
    std::string fields;
    PutOutcomes(fields, entry);
    AppendOutcome(fields);
    m_produced = true;
    std::lock_guard lock(m_mutex);
    m_notReplaced[key] = produced;
}

void SaveJournal::RecordReplaced(const std::string& key)
{
    JournalEntry entry;
    entry.Package = key;
    entry.Replaced = true;
    std::string fields;
    PutOutcomes(fields, entry);
    AppendOutcome(fields);
    std::lock_guard lock(m_mutex);
    m_notReplaced.erase(key);
}

void SaveJournal::Finish()
{
    // A save whose package is not what it produced never replaced it: another process changed the
    // package first (two runs given one package), or the save failed. Without this note the run
    // would count it as saved, and undo would take it for a save that a later change overwrote.
    std::map<std::string, ProducedFacts> pending;
    {
        std::lock_guard lock(m_mutex);
        pending = m_notReplaced;
    }
    std::string notReplaced;
    for (const auto& [key, produced] : pending) {
        try {
            if (!PackageFingerprint(key, archive::IdentityOf(key)).Matches(produced)) {
                PutField(notReplaced, kNotReplacedField, key);
            }
        } catch (const std::exception&) {
            // unreadable now: undo compares the package with the recorded facts itself
        }
    }
    if (!notReplaced.empty()) {
        AppendOutcome(notReplaced);
    }
    if (fsync(m_outcomesFd) != 0) {
        throw EJournalError(Failure(std::strerror(errno)));
    }
    PruneJournal(m_root, m_limits, m_id);
}

std::unique_ptr<SaveJournal> StartSaveRun(const std::vector<const DocumentRecord*>& records,
                                          const fs::path& root)
{
    std::vector<std::string> properties;
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        for (const DocumentRecord* record : records) {
            if (record->Modified && record->Changed(p)) {
                properties.emplace_back(DisplayName(p));
                break;
            }
        }
    }
    for (const DocumentRecord* record : records) {
        if (!record->Modified || !HasCustomChanges(*record)) {
            continue;
        }
        for (const PendingChange& change : PendingChanges(*record)) {
            const std::string name = ChangeName(change);
            if (!change.CustomName.empty() &&
                std::find(properties.begin(), properties.end(), name) == properties.end()) {
                properties.push_back(name);
            }
        }
    }
    std::vector<std::string> packages;
    for (const DocumentRecord* record : records) {
        if (record->Modified) {
            packages.push_back(record->FullPath);
        }
    }
    auto journal = std::make_unique<SaveJournal>(root, properties);
    journal->RecordBefore(packages);
    return journal;
}

} // namespace engine
