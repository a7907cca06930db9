#include "browser/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#ifndef LIFELEDGER_VERSION
#define LIFELEDGER_VERSION "unknown"
#endif

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("CommandLine", text);
}

}  // namespace

std::vector<TOptionHelp> OptionHelp()
{
    return {
        {QStringLiteral("--prefix DIR"),
         Tr(QT_TRANSLATE_NOOP("CommandLine", "Read the game's registry from the Wine prefix DIR (instead of "
                                             "$WINEPREFIX, ~/.wine and the prefixes of the common launchers)."))},
        {QStringLiteral("--history-dir DIR"),
         Tr(QT_TRANSLATE_NOOP("CommandLine",
                              "Use DIR as the game's history folder; no registry is read. Goes with --genetics-dir."))},
        {QStringLiteral("--genetics-dir DIR"),
         Tr(QT_TRANSLATE_NOOP("CommandLine",
                              "Use DIR as the game's genetics folder; no registry is read. Goes with --history-dir."))},
        {QStringLiteral("-h, --help"), Tr(QT_TRANSLATE_NOOP("CommandLine", "Show this help and end."))},
        {QStringLiteral("-v, --version"), Tr(QT_TRANSLATE_NOOP("CommandLine", "Show the version and end."))},
    };
}

QString ProgramSummary()
{
    return Tr(QT_TRANSLATE_NOOP("CommandLine",
        "Lifeledger lists every creature that ever lived in a Vivarion 2 world, edits a creature's name, owner "
        "data, epitaph and gravestone photo, deletes its files after a confirmation, and shows and saves the "
        "photos of its album.\n\n"
        "Without options it finds the game through the Wine prefix in $WINEPREFIX; when that is not set, "
        "through the last installation chosen, ~/.wine, and the prefixes kept by Steam (Proton), Lutris, "
        "Bottles, PlayOnLinux and CrossOver. When several hold the game, it asks which to open."));
}

namespace {

QString HelpText()
{
    QString text = Tr(QT_TRANSLATE_NOOP("CommandLine", "Usage: %1 [options]")).arg(QLatin1String(kProgramName))
                   + QStringLiteral("\n\n") + ProgramSummary() + QStringLiteral("\n\n")
                   + Tr(QT_TRANSLATE_NOOP("CommandLine", "Options:")) + QLatin1Char('\n');
    for (const TOptionHelp& option : OptionHelp())
        text += QStringLiteral("  %1\n      %2\n").arg(option.Names, option.Description);
    return text;
}

TStartOptions Refused(const QString& why)
{
    TStartOptions options;
    options.Action = TStartOptions::Error;
    options.Text = why;
    return options;
}

QString AsFolder(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

}  // namespace

TStartOptions ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption prefix(QStringLiteral("prefix"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption historyDir(QStringLiteral("history-dir"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption geneticsDir(QStringLiteral("genetics-dir"), QString(), QStringLiteral("DIR"));
    parser.addOptions({help, version, prefix, historyDir, geneticsDir});
    if (!parser.parse(arguments))
        return Refused(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return Refused(Tr(QT_TRANSLATE_NOOP("CommandLine", "Unexpected argument '%1'.")).arg(parser.positionalArguments().first()));

    TStartOptions options;
    if (parser.isSet(help)) {
        options.Action = TStartOptions::Help;
        options.Text = HelpText();
        return options;
    }
    if (parser.isSet(version)) {
        options.Action = TStartOptions::Version;
        options.Text = QStringLiteral("Lifeledger " LIFELEDGER_VERSION "\n");
        return options;
    }
    for (const QCommandLineOption* once : {&prefix, &historyDir, &geneticsDir})
        if (parser.values(*once).size() > 1)
            return Refused(Tr(QT_TRANSLATE_NOOP("CommandLine", "--%1 is given more than once.")).arg(once->names().first()));
    if (parser.isSet(historyDir) != parser.isSet(geneticsDir))
        return Refused(Tr(QT_TRANSLATE_NOOP("CommandLine", "--history-dir and --genetics-dir go together: give both.")));
    if (parser.isSet(prefix) && parser.isSet(historyDir))
        return Refused(Tr(QT_TRANSLATE_NOOP("CommandLine", "--prefix names a Wine prefix, --history-dir and "
                                                           "--genetics-dir the game's folders themselves: give one or "
                                                           "the other.")));
    for (const QCommandLineOption* folder : {&prefix, &historyDir, &geneticsDir}) {
        if (!parser.isSet(*folder))
            continue;
        const QString value = parser.value(*folder);
        if (value.isEmpty() || !QFileInfo(value).isDir())
            return Refused(Tr(QT_TRANSLATE_NOOP("CommandLine", "--%1: there is no folder '%2'.")).arg(folder->names().first(), value));
    }
    options.Prefix = parser.value(prefix);
    if (parser.isSet(historyDir)) {
        options.HistoryDirectory = AsFolder(parser.value(historyDir));
        options.GeneticsDirectory = AsFolder(parser.value(geneticsDir));
    }
    return options;
}
