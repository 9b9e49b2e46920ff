#include "export/RowFields.h"

#include "archive/Utf8.h"
#include "engine/base/AbsolutePath.h"
#include "engine/record/CellText.h"

#include <algorithm>

namespace exporting {

std::string ValidText(std::string_view text)
{
    return archive::RepairUtf8(text, archive::kReplacementCharacter);
}

const std::vector<std::string>& RowKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k{"FileName", "FullPath", "FileSize"};
        for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
            k.emplace_back(engine::DisplayName(p));
        }
        k.emplace_back("Error");
        return k;
    }();
    return keys;
}

RowFields FieldsOf(const engine::DocumentRecord& record)
{
    RowFields fields;
    fields.FileName = ValidText(record.FileName);
    fields.FullPath = ValidText(engine::AbsolutePath(record.FullPath));
    const bool digits =
        !record.FileSize.empty() && std::all_of(record.FileSize.begin(), record.FileSize.end(),
                                                [](char c) { return c >= '0' && c <= '9'; });
    if (digits) {
        fields.FileSize = record.FileSize;
    }
    for (int column = engine::kFirstPropertyColumn; column < engine::kColumnCount; ++column) {
        fields.Properties.push_back(ValidText(engine::CellText(record, column)));
    }
    if (!record.LastError.empty()) {
        fields.Error = ValidText(record.LastError);
    }
    return fields;
}

} // namespace exporting
