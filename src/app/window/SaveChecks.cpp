#include "app/window/SaveChecks.h"

#include "editing/QtText.h"
#include "engine/package/OfficeExtensions.h"
#include "engine/package/OtherProgramLock.h"
#include "engine/package/SamePackage.h"
#include "engine/base/OrderedPool.h"
#include "engine/base/UsableCores.h"

#include <QStringList>

#include <unordered_set>

namespace app {

namespace {

struct Looked
{
    bool Signed = false;
    std::optional<engine::OtherProgramLock> Lock;
};

QString PackageLines(const std::vector<PackageToAsk>& packages, bool withLock)
{
    QStringList lines;
    for (const PackageToAsk& package : packages) {
        QString line = editing::ToQString(package.Path);
        if (withLock && !package.Lock.empty()) {
            line += QStringLiteral(" (%1)").arg(editing::ToQString(package.Lock));
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

SaveChecks CheckBeforeSave(const engine::DocumentList& list,
                           const std::vector<std::size_t>& rows,
                           bool lookForLocks,
                           const std::atomic<bool>* cancelRequested)
{
    std::vector<PackageToAsk> packages;
    std::unordered_set<std::string> seen;
    for (const std::size_t row : rows) {
        const engine::DocumentRecord& record = list.RecordAt(row);
        if (!record.Modified) {
            continue; // saved only for a row of its package that has a change
        }
        std::string key = engine::SamePackageKey(record.FullPath);
        if (seen.insert(key).second) {
            packages.push_back(PackageToAsk{record.FullPath, std::move(key), {}});
        }
    }
    // Each look reads the package's directory from disk.
    std::vector<Looked> looked(packages.size());
    engine::Progress stop;
    stop.CancelRequested = cancelRequested;
    engine::RunInOrder(
        packages.size(), engine::UsableCores(), stop,
        [&](std::size_t i, unsigned) {
            try {
                looked[i].Signed = engine::PackageIsSigned(packages[i].Path);
                if (lookForLocks) {
                    looked[i].Lock = engine::FindOtherProgramLock(packages[i].Path);
                }
            } catch (...) {
                looked[i] = {}; // a package that cannot be looked at is left to the save, which says why
            }
        },
        [](std::size_t, bool) {});
    SaveChecks checks;
    checks.Packages = packages.size();
    for (std::size_t i = 0; i < packages.size(); ++i) {
        const Looked& found = looked[i];
        if (found.Signed) {
            checks.Signed.push_back(packages[i]);
        }
        if (found.Lock) {
            PackageToAsk locked = packages[i];
            locked.Lock = "lock file " + found.Lock->LockFile;
            if (!found.Lock->User.empty()) {
                locked.Lock += ", by " + found.Lock->User;
            }
            checks.OpenElsewhere.push_back(std::move(locked));
        }
    }
    return checks;
}

std::vector<std::size_t> WithoutPackages(const engine::DocumentList& list,
                                         const std::vector<std::size_t>& rows,
                                         const std::set<std::string>& keys)
{
    if (keys.empty()) {
        return rows;
    }
    std::vector<std::size_t> kept;
    for (const std::size_t row : rows) {
        if (keys.count(engine::SamePackageKey(list.RecordAt(row).FullPath)) == 0) {
            kept.push_back(row);
        }
    }
    return kept;
}

QString SignedPackagesQuestion(const std::vector<PackageToAsk>& packages)
{
    return QStringLiteral("%1 package(s) to save are digitally signed; saving changes them, and their "
                          "signatures may no longer verify. Skip leaves them unsaved, with their changes.")
               .arg(packages.size()) +
           QStringLiteral("\n\n") + PackageLines(packages, false);
}

QString OpenElsewhereQuestion(const std::vector<PackageToAsk>& packages)
{
    return QStringLiteral("%1 package(s) to save are open in another program, which may write its own "
                          "copy over this save. Skip leaves them unsaved, with their changes.")
               .arg(packages.size()) +
           QStringLiteral("\n\n") + PackageLines(packages, true);
}

} // namespace app
