#pragma once

#include <stdexcept>
#include <string>

// The archive layer's exceptions. Each carries its fixed text, followed by ": detail" when a
// detail (path, member name, zlib or system message) is known.
namespace archive {

class EArchiveError : public std::runtime_error
{
public:
    EArchiveError(const std::string& text, const std::string& detail);

    explicit EArchiveError(const std::string& text)
        : EArchiveError(text, std::string())
    {}

    // The fixed text without the detail.
    [[nodiscard]] const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

#define VELMORA_ARCHIVE_ERROR(Name, Base, DefaultText)                                                       \
    class Name : public Base                                                                                 \
    {                                                                                                        \
    public:                                                                                                  \
        static constexpr const char* kText = DefaultText;                                                    \
        explicit Name(const std::string& detail = std::string())                                             \
            : Base(kText, detail)                                                                            \
        {}                                                                                                   \
                                                                                                             \
    protected:                                                                                               \
        Name(const std::string& text, const std::string& detail)                                             \
            : Base(text, detail)                                                                             \
        {}                                                                                                   \
    };

VELMORA_ARCHIVE_ERROR(EBadZipFile, EArchiveError, "Not a valid zip file!")
VELMORA_ARCHIVE_ERROR(EIncompleteZip, EArchiveError, "Incomplete Zip File")
VELMORA_ARCHIVE_ERROR(ENotAZipFile, EArchiveError, "Not a valid zip file!")
// A compound document (D0 CF 11 E0) where a package was expected: Office writes encrypted packages,
// and old binary presentations, in that container.
VELMORA_ARCHIVE_ERROR(EOle2Package, ENotAZipFile, "encrypted or legacy OLE2 package")
VELMORA_ARCHIVE_ERROR(EFatalUnzipError, EArchiveError, "Premature end of file reached")
VELMORA_ARCHIVE_ERROR(EUserCanceled, EArchiveError, "User Aborted Operation")
VELMORA_ARCHIVE_ERROR(EBiggerThanUncompressed, EArchiveError, "File is larger than uncompressed size!")
VELMORA_ARCHIVE_ERROR(ENotEnoughRoom, EArchiveError, "Not enough room to write archive")
VELMORA_ARCHIVE_ERROR(ECantWriteUCF, EArchiveError, "Cant write uncompressed file")
VELMORA_ARCHIVE_ERROR(ECanceledUnzipToBuffer, EArchiveError, "Extraction to memory canceled")
VELMORA_ARCHIVE_ERROR(EConfigFileSaveError, EArchiveError, "Cannot save the configuration file")
VELMORA_ARCHIVE_ERROR(EBadCrc, EArchiveError, "CRC error")
VELMORA_ARCHIVE_ERROR(EUnsupportedMember, EArchiveError, "Unknown Compression Method")
VELMORA_ARCHIVE_ERROR(EEncryptedMember, EArchiveError, "Encrypted member")
VELMORA_ARCHIVE_ERROR(EMemberTooLarge, EArchiveError, "Member exceeds the size limit")
VELMORA_ARCHIVE_ERROR(EArchiveIoError, EArchiveError, "File error")
VELMORA_ARCHIVE_ERROR(EDuplicateObject, EArchiveError, "Duplicate Object index")
VELMORA_ARCHIVE_ERROR(EZLibError, EArchiveError, "error")
VELMORA_ARCHIVE_ERROR(EZCompressionError, EZLibError, "error")

#undef VELMORA_ARCHIVE_ERROR

} // namespace archive
