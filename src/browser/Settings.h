// What Lifeledger remembers between runs, in one file: the installation
// chosen last and the main window's place. Nothing else reads or writes
// the settings.
#pragma once

#include "platform/Installation.h"

#include <QString>
#include <memory>
#include <optional>

class QHeaderView;
class QSettings;
class QWidget;

// Where the settings live: lifeledger/lifeledger.conf in the user's
// configuration folder ($XDG_CONFIG_HOME, else ~/.config).
QString settingsFilePath();

// The settings at that path, or null when they must not be touched: the
// path (links followed) is something else than a regular file or nothing,
// such as a pipe that would block the start or a device that a save would
// replace. *problem then says so, for the user.
std::unique_ptr<QSettings> openSettings(const QString& path, QString* problem);

// Remembers a chosen installation for the next start (when there are
// settings and it is a prefix).
void rememberInstallation(QSettings* settings, const InstallationSource& source);
// The installation chosen last, as it was remembered (not checked).
std::optional<InstallationSource> rememberedInstallation(QSettings* settings);

// The window's place and size, saved at its close and restored before its
// first show; a place that is no longer on any screen (a monitor gone) is
// pulled back onto one when the window shows.
void saveWindowPlace(QSettings* settings, const QWidget* window);
// Whether a place was restored; then keepOnScreen() is due at the first show.
bool restoreWindowPlace(QSettings* settings, QWidget* window);
// The list's column widths as the user dragged them, kept across runs.
void saveColumnWidths(QSettings* settings, const QHeaderView* header);
void restoreColumnWidths(QSettings* settings, QHeaderView* header);

// Moves (and if need be shrinks) a window so that all of it is on the
// screen it is mostly on, or on the primary screen when it is on none.
void keepOnScreen(QWidget* window);
