// lifeledger-answering: the program exactly as users get it, plus one thing
// no user wants: every message box is printed to stderr and answered with
// its default button, so a test can run the real start-up without a person
// at the screen. Built only with the tests; never installed.
#include "TestUtil.h"
#include "browser/Startup.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    return lifeledgerMain(argc, argv, [](QApplication& app) {
        auto* answerer = new QTimer(&app);
        QObject::connect(answerer, &QTimer::timeout, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            std::fprintf(stderr, "message box: %s | %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
            if (!box->detailedText().isEmpty())
                std::fprintf(stderr, "details: %s\n", qPrintable(box->detailedText()));
            pressDefault(box);
        });
        answerer->start(50);
    });
}
