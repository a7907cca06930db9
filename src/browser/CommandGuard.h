// Every command runs its body through runCommand: an error ends the command
// where it arises, its message is shown in an error box, and the program
// goes on. No exception ever crosses Qt's event loop.
#pragma once

#include "common/Exception.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

inline constexpr const char* kNoInstallationCaption =
    QT_TRANSLATE_NOOP("CommandGuard", "Lifeledger - No Vivarion 2 Installation found");
inline constexpr const char* kNoInstallationText =
    QT_TRANSLATE_NOOP("CommandGuard", "Warning, without Vivarion 2 installed, the Lifeledger is useless.");

// The game's installation is gone; the program ends with exit code 1 once
// the user has seen the message (showNoInstallation).
class NoInstallationError : public Exception {
public:
    explicit NoInstallationError(const QStringList& searched = {})
        : Exception(QStringLiteral("No Vivarion 2 installation found"), searched.join(QLatin1Char('\n')))
    {
    }
    // Every place looked in.
    QStringList searched() const { return details.isEmpty() ? QStringList() : details.split(QLatin1Char('\n')); }
};

// The message that the game is missing (caption, text, stop icon, OK), with
// the places searched under "Show Details".
void showNoInstallation(QWidget* parent, const QStringList& searched);

// Shows an error box with the message, parented to `parent`; details, when
// given, are shown on request.
void showError(QWidget* parent, const QString& message, const QString& details = {});

// Runs body; on an error shows its message. NoInstallationError is passed
// on to onNoInstallation (rethrown when there is none). Returns whether the
// body ran to its end.
bool runCommand(QWidget* parent, const std::function<void()>& body,
                const std::function<void(const NoInstallationError&)>& onNoInstallation = {});
