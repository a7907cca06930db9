#include "browser/Startup.h"

#include "browser/CommandGuard.h"
#include "browser/CommandLineExports.h"
#include "browser/EntryIcons.h"
#include "browser/InstallationChooserDialog.h"
#include "browser/PlainText.h"
#include "browser/MainWindow.h"
#include "browser/Settings.h"
#include "browser/Translations.h"
#include "platform/FileSystem.h"
#include "platform/Launchers.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>

void setUpApplication(QApplication& app)
{
    // The application name, not a display name: Qt would append a display
    // name to every window title ("Endrish Creature History - ...").
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("org.lifeledger.Lifeledger"));
    app.setWindowIcon(makeWindowIcon());
}

std::unique_ptr<MainWindow> createWindows(const StartContext& context)
{
    return std::make_unique<MainWindow>(context);
}

StartChoice findStartInstallation(const StartOptions& options, QSettings* settings, const QString& home)
{
    StartChoice choice;
    if (!options.historyDirectory.isEmpty()) {
        choice.source = InstallationSource::fromFolders(encodePath(options.historyDirectory), encodePath(options.geneticsDirectory));
        return choice;
    }
    const QByteArray named = !options.prefix.isEmpty() ? encodePath(options.prefix) : qgetenv("WINEPREFIX");
    if (!named.isEmpty()) {
        choice.source = InstallationSource::fromPrefix(
            named, options.prefix.isEmpty() ? QStringLiteral("WINEPREFIX") : QStringLiteral("command line"));
        return choice;
    }
    if (const auto remembered = rememberedInstallation(settings); remembered && readInstallation(remembered->prefix)) {
        choice.source = remembered;
        return choice;
    }
    choice.found = findInstallations(UserFolders::fromEnvironment(home), &choice.searched);
    if (choice.found.empty())
        return choice;
    // The game in ~/.wine is used as it always was, whatever else is found.
    const FoundInstallation& first = choice.found.front();
    if (choice.found.size() == 1 || first.prefix == encodePath(QDir::cleanPath(home + QStringLiteral("/.wine"))))
        choice.source = InstallationSource::fromPrefix(first.prefix, first.launcher);
    return choice;
}

StartChoice chooseStartInstallation(const StartOptions& options, QSettings* settings, const QString& home,
                                     QWidget* parent)
{
    StartChoice choice = findStartInstallation(options, settings, home);
    if (choice.source || choice.found.empty())
        return choice;
    const std::vector<FoundInstallation>& found = choice.found;
    InstallationChooserDialog chooser(parent);
    chooser.fill(found);
    if (chooser.exec() != QDialog::Accepted || chooser.choice() < 0) {
        choice.cancelled = true;
        return choice;
    }
    const FoundInstallation& chosen = found[size_t(chooser.choice())];
    choice.source = InstallationSource::fromPrefix(chosen.prefix, chosen.launcher);
    rememberInstallation(settings, *choice.source);
    return choice;
}

int runLifeledger(QApplication& app, const StartOptions& options, QSettings* settings)
{
    setUpApplication(app);
    const StartChoice choice = chooseStartInstallation(options, settings, QDir::homePath());
    if (!choice.source) {
        if (!choice.cancelled)
            showNoInstallation(nullptr, choice.searched);
        return 1;
    }
    std::unique_ptr<MainWindow> viewer;
    try {
        viewer = createWindows({*choice.source, settings, QDir::homePath()});
    } catch (const NoInstallationError&) {
        return 1;
    }
    QObject::connect(viewer.get(), &MainWindow::installationLost, &app, [] { QCoreApplication::exit(1); });
    viewer->show();
    return app.exec();
}

int lifeledgerMain(int argc, char** argv, const std::function<void(QApplication&)>& prepared)
{
    StartOptions options;
    {
        // A core application of its own, needing no display, for the
        // command line's texts in the user's language.
        QCoreApplication core(argc, argv);
        const Translations translations;
        options = parseCommandLine(core.arguments());
        switch (options.action) {
        case StartOptions::Help:
        case StartOptions::Version:
            std::fputs(options.text.toLocal8Bit().constData(), stdout);
            // A full disk or a closed pipe is said, as GNU programs do.
            if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
                std::fprintf(stderr, "%s: %s\n", kProgramName,
                             QCoreApplication::translate("Startup", "write error: %1").arg(QString::fromLocal8Bit(std::strerror(errno))).toLocal8Bit().constData());
                return 1;
            }
            return 0;
        case StartOptions::Error:
            std::fprintf(stderr, "%s: %s\n%s\n", kProgramName, options.text.toLocal8Bit().constData(),
                         QCoreApplication::translate("CommandLine", "Try '%1 --help' for more.")
                             .arg(QLatin1String(kProgramName))
                             .toLocal8Bit()
                             .constData());
            return kUsageExitCode;
        case StartOptions::Run:
            break;
        }
        if (options.exporting()) {
            QString problem;
            const std::unique_ptr<QSettings> settings = openSettings(settingsFilePath(), &problem);
            return runCommandLineExports(options, settings.get(), QDir::homePath());
        }
    }
    // Without a display Qt would abort with its own words; one line says it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !options.platformGiven) {
        std::fprintf(stderr, "%s: %s\n", kProgramName,
                     QCoreApplication::translate("Startup", "needs a graphical session, and none was found "
                                                            "(DISPLAY and WAYLAND_DISPLAY are not set).")
                         .toLocal8Bit()
                         .constData());
        return 1;
    }
    QApplication app(argc, argv);
    const Translations translations;
    if (prepared)
        prepared(app);
    QString problem;
    const std::unique_ptr<QSettings> settings = openSettings(settingsFilePath(), &problem);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, problem.toLocal8Bit().constData());
        showMessage(nullptr, QMessageBox::Warning, QString::fromLatin1(kApplicationTitle), problem);
    }
    return runLifeledger(app, options, settings.get());
}
