#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace exporting {

// Any failure of an export: the target could not be written, or the grid does not fit the format.
class EExportError : public std::runtime_error
{
public:
    explicit EExportError(const std::string& message)
        : std::runtime_error(message)
        , m_reason(message)
    {}

    EExportError(const std::string& message, std::string reason)
        : std::runtime_error(message)
        , m_reason(std::move(reason))
    {}

    // What went wrong without the file it concerns, for a message that names the file itself.
    [[nodiscard]] const std::string& Reason() const { return m_reason; }

private:
    std::string m_reason;
};

} // namespace exporting
