// make-manpage OUTFILE VERSION DATE: writes the manual page lifeledger(1)
// from the same texts as `lifeledger --help`, so the two never disagree.
#include "browser/CommandLine.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace {

// Text as roff reads it: backslashes and minus signs escaped, no line that
// starts with a dot or an apostrophe.
QString roff(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    text.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    text.replace(QStringLiteral("\n."), QStringLiteral("\n\\&."));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: make-manpage OUTFILE VERSION DATE\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "make-manpage: cannot write %s\n", argv[1]);
        return 1;
    }
    QTextStream out(&file);
    out << ".TH LIFELEDGER 1 \"" << argv[3] << "\" \"Lifeledger " << argv[2] << "\" \"User Commands\"\n"
        << ".SH NAME\nlifeledger \\- browse and edit the life histories of Vivarion 2 creatures\n"
        << ".SH SYNOPSIS\n.B lifeledger\n[\\fIoptions\\fR]\n"
        << ".SH DESCRIPTION\n";
    for (const QString& paragraph : programSummary().split(QStringLiteral("\n\n")))
        out << roff(paragraph) << "\n.PP\n";
    out << ".SH OPTIONS\n";
    for (const OptionHelp& option : optionHelp()) {
        QString names = roff(option.names);
        names.replace(QStringLiteral(" DIR"), QStringLiteral(" \\fIDIR\\fR")).replace(QStringLiteral(" FILE"), QStringLiteral(" \\fIFILE\\fR"));
        out << ".TP\n.B " << names << "\n" << roff(option.description) << "\n";
    }
    out << ".SH EXIT STATUS\n"
        << ".TP\n.B 0\nThe program was ended by the user, or the exports asked for were written.\n"
        << ".TP\n.B 1\nNo installation of Vivarion 2 was found, or none was chosen, or an export could not be written.\n"
        << ".TP\n.B 2\nThe command line could not be used.\n"
        << ".SH EXAMPLES\n.TP\n.B lifeledger --prefix ~/.wine --export-family-book ~/family-book\n"
        << "Writes the family book of the game in ~/.wine; open ~/family-book/index.html in any browser.\n"
        << ".TP\n.B lifeledger --history-dir /mnt/game/History --genetics-dir /mnt/game/Genetics --export-csv creatures.csv\n"
        << "Writes the list of a copied installation as CSV.\n"
        << ".SH ENVIRONMENT\n.TP\n.B WINEPREFIX\nThe Wine prefix to read the game's registry from, when no option names one.\n"
        << ".TP\n.B XDG_CONFIG_HOME\nWhere the settings and Lutris's game files are (default ~/.config).\n"
        << ".TP\n.B XDG_DATA_HOME\nWhere Steam, Lutris and Bottles keep their files, and Lifeledger its copies "
           "(default ~/.local/share).\n"
        << ".SH FILES\n.TP\n.I $XDG_CONFIG_HOME/lifeledger/lifeledger.conf\n"
        << "The installation chosen last and the place of the main window.\n"
        << ".TP\n.I $XDG_DATA_HOME/lifeledger/backups\n"
        << "Copies of the files deleted and the records replaced, one folder per installation, for Undo and Restore "
           "Deleted: at most 1 GiB, none older than 90 days, the oldest removed first. Removing the folder empties it.\n"
        << ".TP\n.I ~/.wine\nThe Wine prefix used when no other is named.\n"
        << ".TP\n.I ~/.steam/steam, $XDG_DATA_HOME/Steam\n"
        << "Steam's library lists (steamapps/libraryfolders.vdf), whose libraries' compatdata/*/pfx are Proton's prefixes.\n"
        << ".TP\n.I $XDG_CONFIG_HOME/lutris/games, $XDG_DATA_HOME/lutris/games\n"
        << "Lutris's game files, each naming a prefix.\n"
        << ".TP\n.I $XDG_DATA_HOME/bottles/bottles, ~/.PlayOnLinux/wineprefix, ~/.cxoffice\n"
        << "The prefixes of Bottles, PlayOnLinux and CrossOver.\n"
        << ".TP\n.I ~/.var/app\nThe same launchers installed as Flatpaks.\n"
        << ".SH SEE ALSO\n.BR wine (1)\n";
    return 0;
}
