#pragma once

#include "support/PackageBuilder.h"

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A workbook in the shape spreadsheet programs write: the package relationship to the workbook,
// two worksheets (the first one listed is sheet1.xml, reached through an absolute target), shared
// strings and styles with cell formats 0 (general), 1 (built-in date 22), 2 (custom date 164) and
// 3 (custom number 165). sharedStringsPart, when given, replaces the whole shared-strings part.
PackageBuilder Workbook(const std::string& sheetData,
                        const std::string& sharedStrings,
                        bool date1904 = false,
                        const std::string& sharedStringsPart = {});

// Workbooks an import must refuse, each with a text its error holds.
struct HostileWorkbook
{
    std::string name;
    std::function<std::string()> build; // the workbook's bytes, made on demand (some are large)
    std::string reason;
};

std::vector<HostileWorkbook> HostileWorkbooks();

} // namespace testsupport
