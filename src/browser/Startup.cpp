#include "browser/Startup.h"

#include "browser/CommandGuard.h"
#include "browser/EntryIcons.h"
#include "browser/unitDeleteEntry.h"
#include "browser/unitEditEntry.h"
#include "browser/unitLifeledger.h"
#include "browser/unitPhotoAlbum.h"

#include <QApplication>

void SetUpApplication(QApplication& app)
{
    // The application name, not a display name: Qt would append a display
    // name to every window title ("Endrish Creature History - ...").
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("org.lifeledger.Lifeledger"));
    app.setWindowIcon(MakeWindowIcon());
}

std::unique_ptr<THistoryViewer> CreateWindows()
{
    auto viewer = std::make_unique<THistoryViewer>();
    auto* deleteEntry = new TDeleteEntry(viewer.get());
    auto* editEntry = new TEditEntry(viewer.get());
    auto* photoAlbum = new TPhotoAlbum(viewer.get());
    viewer->SetDialogs(deleteEntry, editEntry, photoAlbum);
    return viewer;
}

int RunLifeledger(QApplication& app)
{
    SetUpApplication(app);
    std::unique_ptr<THistoryViewer> viewer;
    try {
        viewer = CreateWindows();
    } catch (const ENoInstallation&) {
        return 1;
    }
    QObject::connect(viewer.get(), &THistoryViewer::InstallationLost, &app, [] { QCoreApplication::exit(1); });
    viewer->show();
    return app.exec();
}
