// The dialogs of the File and Help menus' commands as the user meets them: a
// file or folder dialog, a question before anything is replaced, the wait,
// and what was written; and the About box.
#pragma once

#include <vector>

class HistoryController;
class QWidget;

// "Export List...": the rows (model rows, as the list shows them) as CSV.
void exportListInteractively(QWidget* parent, HistoryController* controller, const std::vector<int>& rows);
// "Export Family Book...": the whole history into a folder the user chooses.
void exportFamilyBookInteractively(QWidget* parent, HistoryController* controller);
// "About Lifeledger": what the program is and which installation and
// folders it reads now.
void showAboutBox(QWidget* parent, const HistoryController* controller);
