#include "engine/record/PersonalProperties.h"

#include "engine/record/DocumentRecord.h"

namespace engine {

const std::vector<std::size_t>& PersonalProperties()
{
    // Creator, LastModifiedBy, Company, Manager, LastPrinted, Template.
    static const std::vector<std::size_t> properties = {2, 5, kCoreCount + 2, kCoreCount + 3, 7, kCoreCount};
    return properties;
}

} // namespace engine
