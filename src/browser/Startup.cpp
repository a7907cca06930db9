#include "browser/Startup.h"

#include "browser/CommandGuard.h"
#include "browser/EntryIcons.h"
#include "browser/InstallationChooserDialog.h"
#include "browser/PlainText.h"
#include "browser/Translations.h"
#include "browser/DeleteCreatureDialog.h"
#include "browser/EditCreatureDialog.h"
#include "browser/MainWindow.h"
#include "browser/PhotoAlbumDialog.h"
#include "platform/FileSystem.h"
#include "platform/Launchers.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>

namespace {

const QString kRememberedPrefix = QStringLiteral("installation/prefix");
const QString kRememberedLauncher = QStringLiteral("installation/launcher");

}  // namespace

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
    auto viewer = std::make_unique<MainWindow>(context);
    auto* deleteEntry = new DeleteCreatureDialog(viewer.get());
    auto* editEntry = new EditCreatureDialog(viewer.get());
    auto* photoAlbum = new PhotoAlbumDialog(viewer.get());
    viewer->setDialogs(deleteEntry, editEntry, photoAlbum);
    return viewer;
}

void rememberInstallation(QSettings* settings, const InstallationSource& source)
{
    if (!settings || source.prefix.isEmpty())
        return;
    // As text where the path is text (the file stays readable), else as
    // its bytes.
    if (encodePath(pathText(source.prefix)) == source.prefix)
        settings->setValue(kRememberedPrefix, pathText(source.prefix));
    else
        settings->setValue(kRememberedPrefix, source.prefix);
    settings->setValue(kRememberedLauncher, source.launcher);
    settings->sync();
}

StartChoice chooseStartInstallation(const StartOptions& options, QSettings* settings, const QString& home,
                                     QWidget* parent)
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
    if (settings) {
        const QVariant value = settings->value(kRememberedPrefix);
        const QByteArray remembered = value.typeId() == QMetaType::QByteArray ? value.toByteArray() : encodePath(value.toString());
        if (!remembered.isEmpty() && readInstallation(remembered)) {
            choice.source = InstallationSource::fromPrefix(remembered, settings->value(kRememberedLauncher).toString());
            return choice;
        }
    }
    const std::vector<FoundInstallation> found = findInstallations(home, &choice.searched);
    if (found.empty())
        return choice;
    // The game in ~/.wine is used as it always was, whatever else is found.
    if (found.size() == 1 || found.front().prefix == encodePath(QDir::cleanPath(home + QStringLiteral("/.wine")))) {
        choice.source = InstallationSource::fromPrefix(found.front().prefix, found.front().launcher);
        return choice;
    }
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

QString settingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/lifeledger/lifeledger.conf");
}

std::unique_ptr<QSettings> openSettings(const QString& path, QString* problem)
{
    QString reason;
    if (!isRegularFileOrAbsent(encodePath(path), &reason)) {
        *problem = QCoreApplication::translate("Startup", "The settings file %1 cannot be used: %2 Lifeledger runs with "
                                                          "its defaults and remembers nothing this time.")
                       .arg(path, reason);
        return nullptr;
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
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
