#pragma once

#include <stdexcept>
#include <string>

namespace exporting {

// Any failure of an export: the target could not be written, or the grid does not fit the format.
class EExportError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace exporting
