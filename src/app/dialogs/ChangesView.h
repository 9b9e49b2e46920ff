#pragma once

class QTableView;
class QWidget;

namespace app {

class PendingChangesModel;

// The view of a list of changes ("tvChanges"), as the review and the previews show one: whole rows
// selected, one line per change and fixed row heights, so that a list of a million changes
// scrolls as quickly as a short one.
QTableView* MakeChangesView(PendingChangesModel& model, QWidget& parent);

} // namespace app
