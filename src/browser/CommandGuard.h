// Every command runs its body through RunCommand: an error ends the command
// where it arises, its message is shown in an error box, and the program
// goes on. No exception ever crosses Qt's event loop.
#pragma once

#include "common/Exception.h"

#include <QString>
#include <functional>

class QWidget;

// The game's installation is gone; the program ends with exit code 1 once the
// user has seen the message (the one who throws this has shown it).
class NoInstallationError : public Exception {
public:
    NoInstallationError() : Exception(QStringLiteral("No Vivarion 2 installation found")) {}  // never shown: the lookup shows its own box
};

// Shows an error box with the message, parented to `parent`; details, when
// given, are shown on request.
void showError(QWidget* parent, const QString& message, const QString& details = {});

// Runs body; on an error shows its message. NoInstallationError is passed on to
// onNoInstallation. Returns whether the body ran to its end.
bool runCommand(QWidget* parent, const std::function<void()>& body,
                const std::function<void()>& onNoInstallation = {});
