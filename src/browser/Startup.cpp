#include "browser/Startup.h"

#include "browser/CommandGuard.h"
#include "browser/EntryIcons.h"
#include "browser/InstallationChooser.h"
#include "browser/PlainText.h"
#include "browser/Translations.h"
#include "browser/unitDeleteEntry.h"
#include "browser/unitEditEntry.h"
#include "browser/unitLifeledger.h"
#include "browser/unitPhotoAlbum.h"
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

void SetUpApplication(QApplication& app)
{
    // The application name, not a display name: Qt would append a display
    // name to every window title ("Endrish Creature History - ...").
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("org.lifeledger.Lifeledger"));
    app.setWindowIcon(MakeWindowIcon());
}

std::unique_ptr<THistoryViewer> CreateWindows(const TStartContext& context)
{
    auto viewer = std::make_unique<THistoryViewer>(context);
    auto* deleteEntry = new TDeleteEntry(viewer.get());
    auto* editEntry = new TEditEntry(viewer.get());
    auto* photoAlbum = new TPhotoAlbum(viewer.get());
    viewer->SetDialogs(deleteEntry, editEntry, photoAlbum);
    return viewer;
}

void RememberInstallation(QSettings* settings, const TInstallationSource& source)
{
    if (!settings || source.Prefix.isEmpty())
        return;
    // As text where the path is text (the file stays readable), else as
    // its bytes.
    if (EncodePath(PathText(source.Prefix)) == source.Prefix)
        settings->setValue(kRememberedPrefix, PathText(source.Prefix));
    else
        settings->setValue(kRememberedPrefix, source.Prefix);
    settings->setValue(kRememberedLauncher, source.Launcher);
    settings->sync();
}

TStartChoice ChooseStartInstallation(const TStartOptions& options, QSettings* settings, const QString& home,
                                     QWidget* parent)
{
    TStartChoice choice;
    if (!options.HistoryDirectory.isEmpty()) {
        choice.Source = TInstallationSource::FromFolders(EncodePath(options.HistoryDirectory), EncodePath(options.GeneticsDirectory));
        return choice;
    }
    const QByteArray named = !options.Prefix.isEmpty() ? EncodePath(options.Prefix) : qgetenv("WINEPREFIX");
    if (!named.isEmpty()) {
        choice.Source = TInstallationSource::FromPrefix(
            named, options.Prefix.isEmpty() ? QStringLiteral("WINEPREFIX") : QStringLiteral("command line"));
        return choice;
    }
    if (settings) {
        const QVariant value = settings->value(kRememberedPrefix);
        const QByteArray remembered = value.typeId() == QMetaType::QByteArray ? value.toByteArray() : EncodePath(value.toString());
        if (!remembered.isEmpty() && ReadInstallation(remembered)) {
            choice.Source = TInstallationSource::FromPrefix(remembered, settings->value(kRememberedLauncher).toString());
            return choice;
        }
    }
    const std::vector<TFoundInstallation> found = FindInstallations(home, &choice.Searched);
    if (found.empty())
        return choice;
    // The game in ~/.wine is used as it always was, whatever else is found.
    if (found.size() == 1 || found.front().Prefix == EncodePath(QDir::cleanPath(home + QStringLiteral("/.wine")))) {
        choice.Source = TInstallationSource::FromPrefix(found.front().Prefix, found.front().Launcher);
        return choice;
    }
    TInstallationChooser chooser(parent);
    chooser.Fill(found);
    if (chooser.exec() != QDialog::Accepted || chooser.Choice() < 0) {
        choice.Cancelled = true;
        return choice;
    }
    const TFoundInstallation& chosen = found[size_t(chooser.Choice())];
    choice.Source = TInstallationSource::FromPrefix(chosen.Prefix, chosen.Launcher);
    RememberInstallation(settings, *choice.Source);
    return choice;
}

QString SettingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/lifeledger/lifeledger.conf");
}

std::unique_ptr<QSettings> OpenSettings(const QString& path, QString* problem)
{
    QString reason;
    if (!IsRegularFileOrAbsent(EncodePath(path), &reason)) {
        *problem = QCoreApplication::translate("Startup", "The settings file %1 cannot be used: %2 Lifeledger runs with "
                                                          "its defaults and remembers nothing this time.")
                       .arg(path, reason);
        return nullptr;
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

int RunLifeledger(QApplication& app, const TStartOptions& options, QSettings* settings)
{
    SetUpApplication(app);
    const TStartChoice choice = ChooseStartInstallation(options, settings, QDir::homePath());
    if (!choice.Source) {
        if (!choice.Cancelled)
            ShowNoInstallation(nullptr, choice.Searched);
        return 1;
    }
    std::unique_ptr<THistoryViewer> viewer;
    try {
        viewer = CreateWindows({*choice.Source, settings, QDir::homePath()});
    } catch (const ENoInstallation&) {
        return 1;
    }
    QObject::connect(viewer.get(), &THistoryViewer::InstallationLost, &app, [] { QCoreApplication::exit(1); });
    viewer->show();
    return app.exec();
}

int LifeledgerMain(int argc, char** argv, const std::function<void(QApplication&)>& prepared)
{
    TStartOptions options;
    {
        // A core application of its own, needing no display, for the
        // command line's texts in the user's language.
        QCoreApplication core(argc, argv);
        const TTranslations translations;
        options = ParseCommandLine(core.arguments());
        switch (options.Action) {
        case TStartOptions::Help:
        case TStartOptions::Version:
            std::fputs(options.Text.toLocal8Bit().constData(), stdout);
            return 0;
        case TStartOptions::Error:
            std::fprintf(stderr, "%s: %s\n%s\n", kProgramName, options.Text.toLocal8Bit().constData(),
                         QCoreApplication::translate("CommandLine", "Try '%1 --help' for more.")
                             .arg(QLatin1String(kProgramName))
                             .toLocal8Bit()
                             .constData());
            return kUsageExitCode;
        case TStartOptions::Run:
            break;
        }
    }
    QApplication app(argc, argv);
    const TTranslations translations;
    if (prepared)
        prepared(app);
    QString problem;
    const std::unique_ptr<QSettings> settings = OpenSettings(SettingsFilePath(), &problem);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, problem.toLocal8Bit().constData());
        ShowMessage(nullptr, QMessageBox::Warning, QString::fromLatin1(kApplicationTitle), problem);
    }
    return RunLifeledger(app, options, settings.get());
}
