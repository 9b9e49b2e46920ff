#pragma once

#include "support/PackageBuilder.h"

#include <string>

// Ordinary, readable presentations for tests that need a deck rather than a particular file: each
// has a slide, a layout, a master, a theme and a stored thumbnail besides its property parts.
namespace testsupport {

// A one-slide deck with the given property parts, each related from _rels/.rels and registered in
// [Content_Types].xml (an empty text leaves a part out).
PackageBuilder Deck(const std::string& coreXml, const std::string& appXml, const std::string& customXml);
// Every core and extended property set, in several scripts, and a custom part with one property
// (Category, text "Reports"). Some of its values are named below.
PackageBuilder PropertyDeck();
// A core part with only the created date, and no app part: a save has to create the app part.
PackageBuilder CoreOnlyDeck();
// A few properties: title "Presentation", creator, last modified by, revision, created, modified
// and total editing time.
PackageBuilder PlainDeck();

inline constexpr const char* kPropertyDeckTitle = "Quarterly review – Q3 “draft” & notes";
inline constexpr const char* kPropertyDeckCompany = "Ærøskøbing Fähre GmbH";
inline constexpr const char* kPropertyDeckManager = "Grace Hopper";

} // namespace testsupport
