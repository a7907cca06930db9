// The program's command line. It is read before any window exists, so that
// --help, --version and every mistake are answered without a display.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

inline constexpr const char* kProgramName = "lifeledger";

struct TStartOptions {
    enum TAction { Run, Help, Version, Error };
    TAction Action = Run;
    // A Wine prefix to read the game's registry from.
    QString Prefix;
    // The game's folders themselves, when they are not in a Wine prefix (a
    // copy from Windows, a backup, a mounted Windows disk); no registry is
    // read then. Each ends in a separator.
    QString HistoryDirectory;
    QString GeneticsDirectory;
    // What to print: the help, the version, or what is wrong.
    QString Text;
};

// One option as --help and the manual page describe it.
struct TOptionHelp {
    QString Names;  // "--prefix DIR"
    QString Description;
};

// The options, in the order they are described (in the user's language);
// the one source of --help and of the manual page.
std::vector<TOptionHelp> OptionHelp();

// A short description of the program, for --help and the manual page.
QString ProgramSummary();

// arguments[0] is the program.
TStartOptions ParseCommandLine(const QStringList& arguments);

// Exit code of a command line that cannot be used.
inline constexpr int kUsageExitCode = 2;
