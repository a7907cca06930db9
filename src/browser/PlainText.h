// Texts from records, files and folders are shown as they stand, never as
// rich text: names come from other players, and Qt takes a text that looks
// like HTML for HTML. A name holding <img src="/some/pipe"> would make Qt
// open that file (and wait on it forever), one holding a link to a device
// would fill the memory.
#pragma once

#include <QMessageBox>
#include <QString>

// Runs a modal message box whose text is plain text; details are plain in
// every message box. Returns the button pressed. Without a default button
// the box chooses one as Qt's own boxes do.
QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                        const QString& text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                        const QString& details = {});

// A tooltip that shows the text as it stands, line breaks kept: a tooltip
// itself is taken for rich text whenever it looks like it.
QString plainToolTip(const QString& text);
