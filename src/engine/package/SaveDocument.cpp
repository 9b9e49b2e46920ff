#include "engine/package/SaveDocument.h"

#include "archive/UpdatePackage.h"
#include "engine/parts/CustomPropertiesPart.h"
#include "engine/package/OfficeExtensions.h"
#include "engine/parts/PartLocator.h"
#include "engine/parts/PropertyParts.h"
#include "engine/package/SaveHooks.h"
#include "engine/package/ScratchFolder.h"
#include "engine/parts/WriteProperties.h"
#include "engine/base/PathMessage.h"
#include "engine/record/EditState.h"
#include "engine/record/PendingChanges.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace engine {

namespace fs = std::filesystem;

namespace {

using PartWriter = std::string (*)(const DocumentRecord&, const std::string&);

struct PartKind
{
    std::string_view FallbackName;
    std::string_view ContentType;
    std::string_view RelationshipType;
    PartWriter Write;
};

// A package the user may not write must fail before anything is unpacked: the archive is replaced
// by renaming, which would succeed on a read-only file in a writable folder.
void CheckWritable(const std::string& path)
{
    struct stat st
    {
    };

    if (stat(path.c_str(), &st) != 0) {
        throw std::runtime_error(std::string("cannot open the package: ") + std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        throw std::runtime_error("not a package file");
    }
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0) {
        throw std::runtime_error("the package is read-only");
    }
}

std::string MemberText(archive::TArchiveReader& reader, const archive::TZipHeaderInfo& member)
{
    try {
        return reader.ExtractToMemory(member, kMaxPartBytes);
    } catch (const std::exception& e) {
        throw std::runtime_error(member.Name + ": " + e.what());
    }
}

// The edits of one save, gathered in the scratch folder before the package is rewritten.
class SavePlan
{
public:
    SavePlan(archive::TArchiveReader& reader, const fs::path& folder)
        : m_reader(reader)
        , m_folder(folder)
    {}

    void EditPart(const DocumentRecord& record, const archive::TZipHeaderInfo* member, const PartKind& kind)
    {
        const std::string existing = member != nullptr ? MemberText(m_reader, *member) : std::string();
        std::string edited;
        try {
            edited = kind.Write(record, existing);
        } catch (const std::exception& e) {
            throw std::runtime_error((member != nullptr ? member->Name : std::string(kind.FallbackName)) +
                                     ": " + e.what());
        }
        if (member != nullptr) {
            if (edited != existing) { // values equal to what the part holds need no rewrite
                WriteScratchFile(m_folder, member->Name, edited);
                ++m_files;
            }
        } else if (!edited.empty()) {
            // A part that is absent and only "cleared" needs no new part.
            WriteScratchFile(m_folder, std::string(kind.FallbackName), edited);
            ++m_files;
            m_created.push_back(&kind);
        }
    }

    // A created part is listed in [Content_Types].xml and related from _rels/.rels, or the package
    // would hold a part that no consumer finds.
    void RegisterCreatedParts()
    {
        if (m_created.empty()) {
            return;
        }
        const archive::TZipHeaderInfo* types = FindPart(m_reader, kContentTypesName);
        const archive::TZipHeaderInfo* rels = FindPart(m_reader, kPackageRelsName);
        if (rels == nullptr) {
            // Adding a relationships part would change how every other part of the package is
            // found; a package without one is left as it is.
            throw std::runtime_error("cannot add " + std::string(m_created.front()->FallbackName) +
                                     ": the package has no " + std::string(kPackageRelsName));
        }
        std::string typesXml = types != nullptr ? MemberText(m_reader, *types) : std::string();
        std::string relsXml = MemberText(m_reader, *rels);
        for (const PartKind* kind : m_created) {
            typesXml = RegisterContentTypeOverride(typesXml, kind->FallbackName, kind->ContentType);
            relsXml = RegisterPackageRelationship(relsXml, kind->RelationshipType, kind->FallbackName);
        }
        WriteScratchFile(m_folder, types != nullptr ? types->Name : std::string(kContentTypesName), typesXml);
        WriteScratchFile(m_folder, rels->Name, relsXml);
    }

    [[nodiscard]] bool HasEdits() const { return m_files > 0; }

private:
    archive::TArchiveReader& m_reader;
    const fs::path& m_folder;
    std::vector<const PartKind*> m_created;
    int m_files = 0;
};

const PartKind kCoreKind{kCorePartName, kCoreContentType, kCoreRelationshipTypes[0], WriteCorePropertiesXml};
const PartKind kAppKind{kAppPartName, kAppContentType, kAppRelationshipTypes[0], WriteAppPropertiesXml};
const PartKind kCustomKind{kCustomPartName, kCustomContentType, kCustomRelationshipTypes[0],
                           WriteCustomPropertiesXml};

// Writes the flagged properties into the package; throws on any failure, the package untouched.
// Returns whether a package holding a digital signature was rewritten.
bool SaveChanges(DocumentRecord& record,
                 bool core,
                 bool app,
                 bool custom,
                 const SaveOptions& options,
                 ScratchFolder& scratch)
{
    CheckWritable(record.FullPath);
    SaveHooks hooks(record.FullPath, options);
    archive::TArchiveReader reader;
    reader.ZipName = record.FullPath;
    reader.DoProcessMessages = false;
    reader.OpenDirectory();
    const PropertyPartLocation parts = LocatePropertyParts(reader);
    // A part that cannot be read cannot be edited, and a plain part must never be written where
    // readers expect an encrypted one.
    for (const archive::TZipHeaderInfo* part : {parts.Core, parts.App, custom ? parts.Custom : nullptr}) {
        if (part != nullptr && part->IsEncrypted()) {
            throw std::runtime_error(part->Name + ": the part is encrypted and cannot be saved");
        }
    }

    record.ScratchFolder = scratch.Path().string();
    SavePlan plan(reader, scratch.Path());
    if (core) {
        plan.EditPart(record, parts.Core, kCoreKind);
    }
    if (app) {
        plan.EditPart(record, parts.App, kAppKind);
    }
    if (custom) {
        plan.EditPart(record, parts.Custom, kCustomKind);
    }
    if (!plan.HasEdits()) {
        return false; // the package already holds every flagged value: nothing to write
    }
    plan.RegisterCreatedParts();
    const bool signedPackage = HasDigitalSignature(reader);
    reader.CloseArchive();
    archive::UpdatePackage(record.FullPath, scratch.Path(), hooks.Hooks());
    hooks.Replaced();
    return signedPackage;
}

// Empties a reused scratch folder after a save, on every path; what cannot be removed now is
// removed before the next save uses the folder.
class EmptiedAfterUse
{
public:
    explicit EmptiedAfterUse(ScratchFolder& scratch)
        : m_scratch(scratch)
    {}

    ~EmptiedAfterUse()
    {
        try {
            m_scratch.Empty();
        } catch (...) {
            // Reported by the next save through the Empty() it starts with.
        }
    }

    EmptiedAfterUse(const EmptiedAfterUse&) = delete;
    EmptiedAfterUse& operator=(const EmptiedAfterUse&) = delete;

private:
    ScratchFolder& m_scratch;
};

} // namespace

DocumentOutcome SaveDocument(DocumentRecord& record, const SaveOptions& options, ScratchFolder* reused)
{
    record.LastWarning.clear();
    std::string warning;
    try {
        const bool core = HasCoreChanges(record);
        const bool app = HasAppChanges(record);
        const bool custom = HasCustomChanges(record);
        if (core || app || custom) {
            bool signedPackage = false;
            if (reused == nullptr) {
                ScratchFolder scratch;
                signedPackage = SaveChanges(record, core, app, custom, options, scratch);
            } else {
                const EmptiedAfterUse emptied(*reused);
                if (reused->EmptyingFailed()) {
                    reused->Empty(); // old contents must never reach the package
                }
                signedPackage = SaveChanges(record, core, app, custom, options, *reused);
            }
            if (signedPackage) {
                warning = kSignatureWarning;
            }
        } else if (record.MarkedForSave && !record.LastError.empty()) {
            // A package whose load failed is saved only for its problem to be reported: with no
            // value to write, that problem is the outcome, never a save that did not happen.
            return DocumentOutcome{false, record.LastError};
        }
    } catch (const std::exception& e) {
        record.LastError = WithoutPath(e.what(), record.FullPath);
        return DocumentOutcome{false, record.LastError};
    } catch (...) {
        record.LastError = "unexpected failure while saving the package";
        return DocumentOutcome{false, record.LastError};
    }
    // Only now has the package really been rewritten (or needed no change).
    MarkSaved(record);
    record.LastError.clear();
    record.LastWarning = warning;
    return DocumentOutcome{};
}

} // namespace engine
