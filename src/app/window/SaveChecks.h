#pragma once

#include "engine/record/DocumentList.h"

#include <QString>

#include <atomic>
#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace app {

// A package a save asks about before it writes anything.
struct PackageToAsk
{
    std::string Path; // as the first of its rows with a change names it
    std::string Key;  // engine::SamePackageKey of Path
    std::string Lock; // for a package open elsewhere: "lock file NAME, by USER" (", by USER" when known)
};

// The packages of a save that the user decides on first: the digitally signed ones (a save may
// break their signatures) and those another program has open (it may write its own copy over the
// save).
struct SaveChecks
{
    std::vector<PackageToAsk> Signed;
    std::vector<PackageToAsk> OpenElsewhere;
    // How many packages with a change the rows hold: the save writes nothing when all are skipped.
    std::size_t Packages = 0;
};

// Looks at each package with a change among the rows, once per package and on all cores; the lock
// files only when lookForLocks. Once cancelRequested (may be null) is raised, the packages not
// looked at yet are left alone. Never throws.
[[nodiscard]] SaveChecks CheckBeforeSave(const engine::DocumentList& list,
                                         const std::vector<std::size_t>& rows,
                                         bool lookForLocks,
                                         const std::atomic<bool>* cancelRequested = nullptr);

// The rows whose package is not one of the packages with the given keys.
[[nodiscard]] std::vector<std::size_t> WithoutPackages(const engine::DocumentList& list,
                                                       const std::vector<std::size_t>& rows,
                                                       const std::set<std::string>& keys);

// The questions: one paragraph that says what a save does to such packages, then one package a line.
[[nodiscard]] QString SignedPackagesQuestion(const std::vector<PackageToAsk>& packages);
[[nodiscard]] QString OpenElsewhereQuestion(const std::vector<PackageToAsk>& packages);

} // namespace app
