#include "browser/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#ifndef LIFELEDGER_VERSION
#define LIFELEDGER_VERSION "unknown"
#endif

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("CommandLine", text);
}

}  // namespace

std::vector<OptionHelp> optionHelp()
{
    return {
        {QStringLiteral("--prefix DIR"),
         translated(QT_TRANSLATE_NOOP("CommandLine", "Read the game's registry from the Wine prefix DIR (instead of "
                                             "$WINEPREFIX, ~/.wine and the prefixes of the common launchers)."))},
        {QStringLiteral("--history-dir DIR"),
         translated(QT_TRANSLATE_NOOP("CommandLine",
                              "Use DIR as the game's history folder; no registry is read. Goes with --genetics-dir."))},
        {QStringLiteral("--genetics-dir DIR"),
         translated(QT_TRANSLATE_NOOP("CommandLine",
                              "Use DIR as the game's genetics folder; no registry is read. Goes with --history-dir."))},
        {QStringLiteral("--export-csv FILE"),
         translated(QT_TRANSLATE_NOOP("CommandLine", "Write the list of every creature as CSV into FILE, as File > Export "
                                                     "List does, without opening a window."))},
        {QStringLiteral("--export-family-book DIR"),
         translated(QT_TRANSLATE_NOOP("CommandLine", "Write the family book into the folder DIR (made when missing), as "
                                                     "File > Export Family Book does, without opening a window. Both "
                                                     "exports may be asked for at once; progress is shown when the "
                                                     "standard error is a terminal, and the exit status is 1 when an "
                                                     "export could not be written."))},
        {QStringLiteral("-h, --help"), translated(QT_TRANSLATE_NOOP("CommandLine", "Show this help and end."))},
        {QStringLiteral("-v, --version"), translated(QT_TRANSLATE_NOOP("CommandLine", "Show the version and end."))},
    };
}

QString programSummary()
{
    return translated(QT_TRANSLATE_NOOP("CommandLine",
        "Lifeledger lists every creature that ever lived in a Vivarion 2 world, edits a creature's name, owner "
        "data, epitaph and gravestone photo, deletes its files after a confirmation, and shows and saves the "
        "photos of its album.\n\n"
        "It draws a creature's family tree (Ctrl+T), finds creatures by any of their texts (Ctrl+F), shows an "
        "album as a contact sheet (Ctrl+K), shows the world's statistics as charts and tables (Ctrl+I), and "
        "exports the list as CSV and the whole history as a family book for any browser (File menu). F5 reads "
        "the list afresh; the status bar says when the game has changed it.\n\n"
        "Before it deletes a file or saves a record it keeps a copy in $XDG_DATA_HOME/lifeledger/backups: "
        "Edit > Undo (Ctrl+Z) takes the last edit or deletion back, and File > Restore Deleted... puts back the "
        "deletions of earlier sessions.\n\n"
        "Without options it finds the game through the Wine prefix in $WINEPREFIX; when that is not set, "
        "through the last installation chosen, ~/.wine, and the prefixes kept by Steam (Proton), Lutris, "
        "Bottles, PlayOnLinux and CrossOver. When several hold the game, it asks which to open."));
}

namespace {

QString wrapped(const QString& text, int width, int indent)
{
    QString out;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line = QString(indent, QLatin1Char(' '));
        bool empty = true;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (!empty && line.size() + 1 + word.size() > width) {
                out += line + QLatin1Char('\n');
                line = QString(indent, QLatin1Char(' '));
                empty = true;
            }
            line += (empty ? QString() : QStringLiteral(" ")) + word;
            empty = false;
        }
        out += (empty ? QString() : line) + QLatin1Char('\n');
    }
    return out;
}

QStringList withoutQtOptions(const QStringList& arguments)
{
    // Qt's own options, taken by QApplication (a session manager restores
    // the program with -session, a user may choose -platform or -style):
    // they are not ours to refuse.
    static const QStringList withValue = {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                                          "qwindowicon", "qwindowtitle", "session", "display", "name", "title",
                                          "geometry", "style", "stylesheet", "qmljsdebugger"};
    static const QStringList flags = {"reverse", "nograb", "dograb", "sync", "widgetcount", "visual"};
    QStringList ours;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const QString name = arg.startsWith(QLatin1String("--")) ? arg.mid(2) : arg.startsWith(QLatin1Char('-')) ? arg.mid(1) : QString();
        const QString key = name.section(QLatin1Char('='), 0, 0);
        if (i > 0 && withValue.contains(key)) {
            if (!name.contains(QLatin1Char('=')))
                ++i;  // its value
            continue;
        }
        if (i > 0 && flags.contains(name))
            continue;
        ours << arg;
    }
    return ours;
}

QString helpText()
{
    QString text = translated(QT_TRANSLATE_NOOP("CommandLine", "Usage: %1 [options]")).arg(QLatin1String(kProgramName))
                   + QStringLiteral("\n\n") + wrapped(programSummary(), 80, 0) + QLatin1Char('\n')
                   + translated(QT_TRANSLATE_NOOP("CommandLine", "Options:")) + QLatin1Char('\n');
    for (const OptionHelp& option : optionHelp())
        text += QStringLiteral("  %1\n").arg(option.names) + wrapped(option.description, 80, 6);
    return text;
}

StartOptions refused(const QString& why)
{
    StartOptions options;
    options.action = StartOptions::Error;
    options.text = why;
    return options;
}

QString asFolder(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

}  // namespace

StartOptions parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption prefix(QStringLiteral("prefix"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption historyDir(QStringLiteral("history-dir"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption geneticsDir(QStringLiteral("genetics-dir"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption exportCsv(QStringLiteral("export-csv"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption exportBook(QStringLiteral("export-family-book"), QString(), QStringLiteral("DIR"));
    parser.addOptions({help, version, prefix, historyDir, geneticsDir, exportCsv, exportBook});
    if (!parser.parse(withoutQtOptions(arguments)))
        return refused(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return refused(translated(QT_TRANSLATE_NOOP("CommandLine", "Unexpected argument '%1'.")).arg(parser.positionalArguments().first()));

    StartOptions options;
    options.platformGiven = arguments.contains(QStringLiteral("-platform")) || arguments.contains(QStringLiteral("--platform"))
                            || !arguments.filter(QStringLiteral("-platform=")).isEmpty();
    if (parser.isSet(help)) {
        options.action = StartOptions::Help;
        options.text = helpText();
        return options;
    }
    if (parser.isSet(version)) {
        options.action = StartOptions::Version;
        options.text = QStringLiteral("Lifeledger " LIFELEDGER_VERSION "\n");
        return options;
    }
    for (const QCommandLineOption* once : {&prefix, &historyDir, &geneticsDir, &exportCsv, &exportBook})
        if (parser.values(*once).size() > 1)
            return refused(translated(QT_TRANSLATE_NOOP("CommandLine", "--%1 is given more than once.")).arg(once->names().first()));
    if (parser.isSet(historyDir) != parser.isSet(geneticsDir))
        return refused(translated(QT_TRANSLATE_NOOP("CommandLine", "--history-dir and --genetics-dir go together: give both.")));
    if (parser.isSet(prefix) && parser.isSet(historyDir))
        return refused(translated(QT_TRANSLATE_NOOP("CommandLine", "--prefix names a Wine prefix, --history-dir and "
                                                           "--genetics-dir the game's folders themselves: give one or "
                                                           "the other.")));
    for (const QCommandLineOption* folder : {&prefix, &historyDir, &geneticsDir}) {
        if (!parser.isSet(*folder))
            continue;
        const QString value = parser.value(*folder);
        if (value.isEmpty() || !QFileInfo(value).isDir())
            return refused(translated(QT_TRANSLATE_NOOP("CommandLine", "--%1: there is no folder '%2'.")).arg(folder->names().first(), value));
    }
    for (const QCommandLineOption* target : {&exportCsv, &exportBook})
        if (parser.isSet(*target) && parser.value(*target).isEmpty())
            return refused(translated(QT_TRANSLATE_NOOP("CommandLine", "--%1 needs a place to write to.")).arg(target->names().first()));
    options.exportCsv = parser.value(exportCsv);
    options.exportFamilyBook = parser.value(exportBook);
    options.prefix = parser.value(prefix);
    if (parser.isSet(historyDir)) {
        options.historyDirectory = asFolder(parser.value(historyDir));
        options.geneticsDirectory = asFolder(parser.value(geneticsDir));
    }
    return options;
}
