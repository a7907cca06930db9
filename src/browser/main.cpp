#include "CommandGuard.h"
#include "Lifeledger.h"
#include "unitLifeledger.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {

// For the tests of the real executable: with LIFELEDGER_TEST_ANSWER_MODALS
// set, every message box is printed to stderr and answered with its default
// button, so a run without a user ends as it would after a click.
void AnswerMessageBoxesForTests(QApplication& app)
{
    if (qEnvironmentVariableIsEmpty("LIFELEDGER_TEST_ANSWER_MODALS"))
        return;
    auto* timer = new QTimer(&app);
    QObject::connect(timer, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        std::fprintf(stderr, "message box: %s | %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
        QAbstractButton* b = box->defaultButton();
        if (!b)
            b = box->buttons().value(0);
        if (b)
            b->click();
    });
    timer->start(50);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    AnswerMessageBoxesForTests(app);
    std::unique_ptr<THistoryViewer> viewer;
    try {
        viewer = CreateWindows();
    } catch (const ENoInstallation&) {
        return 1;
    }
    viewer->show();
    return app.exec();
}
