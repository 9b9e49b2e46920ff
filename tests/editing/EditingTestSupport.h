#pragma once

#include "engine/record/DocumentRecord.h"

#include <QModelIndex>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace app {
class TfmMain;
}

namespace editingtest {

// A shown, active main window whose grid holds the given records (in memory, checked).
std::unique_ptr<app::TfmMain> WindowWithRows(const std::vector<engine::DocumentRecord>& records);

// A record titled `title` whose other properties are empty.
engine::DocumentRecord Titled(const std::string& title);

// Gives the grid the focus on a cell; the open editor of that cell, or nullptr when none opened.
QWidget* FocusCell(app::TfmMain& window, int row, int column);
// The editor open on a cell of the grid, or nullptr.
QWidget* EditorAt(app::TfmMain& window, int row, int column);

} // namespace editingtest
