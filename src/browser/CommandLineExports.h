// The exports asked for on the command line (--export-csv,
// --export-family-book): the same files as the File menu's commands, written
// without a window, so that they run in a script, over ssh or from cron.
#pragma once

#include <QString>

class QSettings;
struct StartOptions;

// Finds the installation as start-up does (without asking: several found
// and none settled on is an error), fills the list and writes each export
// asked for. Messages go to standard error, progress too when it is a
// terminal. Returns the exit code: 0 when every export was written, 1 when
// not. Needs a core application, no display.
int runCommandLineExports(const StartOptions& options, QSettings* settings, const QString& home);
