#include "archive/ArchiveErrors.h"

namespace archive {

EArchiveError::EArchiveError(const std::string& text, const std::string& detail)
    : std::runtime_error(detail.empty() ? text : text + ": " + detail)
    , m_text(text)
{}

} // namespace archive
