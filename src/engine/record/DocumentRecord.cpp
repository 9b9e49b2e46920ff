#include "engine/record/DocumentRecord.h"

#include <cassert>

namespace engine {

const std::string& DocumentRecord::Value(std::size_t p) const
{
    assert(p < kPropertyCount);
    return p < kCoreCount ? CoreValues[p] : AppValues[p - kCoreCount];
}

std::string& DocumentRecord::Value(std::size_t p)
{
    assert(p < kPropertyCount);
    return p < kCoreCount ? CoreValues[p] : AppValues[p - kCoreCount];
}

bool DocumentRecord::Changed(std::size_t p) const
{
    assert(p < kPropertyCount);
    return p < kCoreCount ? CoreChanged[p] : AppChanged[p - kCoreCount];
}

void DocumentRecord::SetChanged(std::size_t p, bool changed)
{
    assert(p < kPropertyCount);
    (p < kCoreCount ? CoreChanged[p] : AppChanged[p - kCoreCount]) = changed;
}

std::string_view DisplayName(std::size_t p)
{
    assert(p < kPropertyCount);
    return p < kCoreCount ? CoreDisplayNames[p] : AppDisplayNames[p - kCoreCount];
}

void ClearProperties(DocumentRecord& record)
{
    record.Modified = false;
    record.MarkedForSave = false;
    record.CoreValues.fill({});
    record.AppValues.fill({});
    record.CoreChanged.fill(false);
    record.AppChanged.fill(false);
    record.LoadedValues.Clear();
    record.Custom = {};
    record.Statistics.Clear();
}

} // namespace engine
