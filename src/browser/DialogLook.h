// Small pieces of look shared by the dialogs.
#pragma once

class QLineEdit;
class QWidget;

// The moniker box: read-only, fixed-width bold text on the button colour.
void styleMonikerBox(QLineEdit* box);

// A read-only box shown on the button colour, as a label would be.
void styleReadOnlyBox(QLineEdit* box);

// Lets a one-line box hold text of any length. Qt's default limit of 32,767
// characters would silently cut a longer stored text at its next save; the
// record's own limit is checked, with a message, when the dialog is accepted.
void holdAnyLength(QLineEdit* box);

// Places a window in the middle of the screen its parent is on.
void centreOnScreen(QWidget* window, QWidget* parent);
