#pragma once

#include <stdexcept>

namespace xml {

// Raised for a part that cannot be read (missing, not well-formed, unsupported entity use) and
// for an edit the document cannot take.
class EXmlError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace xml
