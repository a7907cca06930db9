// The program's command line. It is read before any window exists, so that
// --help, --version and every mistake are answered without a display.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

inline constexpr const char* kProgramName = "lifeledger";

struct StartOptions {
    enum Action { Run, Help, Version, Error };
    Action action = Run;
    // A Wine prefix to read the game's registry from.
    QString prefix;
    // The game's folders themselves, when they are not in a Wine prefix (a
    // copy from Windows, a backup, a mounted Windows disk); no registry is
    // read then. Each ends in a separator.
    QString historyDirectory;
    QString geneticsDirectory;
    // Exports to write without opening a window (empty: none).
    QString exportCsv;
    QString exportFamilyBook;
    bool exporting() const { return !exportCsv.isEmpty() || !exportFamilyBook.isEmpty(); }
    // What to print: the help, the version, or what is wrong.
    QString text;
    // Qt's own -platform was given (it needs no display of the desktop's).
    bool platformGiven = false;
};

// One option as --help and the manual page describe it.
struct OptionHelp {
    QString names;  // "--prefix DIR"
    QString description;
};

// The options, in the order they are described (in the user's language);
// the one source of --help and of the manual page.
std::vector<OptionHelp> optionHelp();

// A short description of the program, for --help and the manual page.
QString programSummary();

// arguments[0] is the program.
StartOptions parseCommandLine(const QStringList& arguments);

// Exit code of a command line that cannot be used.
inline constexpr int kUsageExitCode = 2;
