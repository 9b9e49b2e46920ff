#pragma once

#include <string>

namespace engine {

// What a per-package operation reports: success, or the message the user is shown.
struct DocumentOutcome
{
    bool ok = true;
    std::string message;
};

} // namespace engine
