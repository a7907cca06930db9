// The floor of a start-up: the least a Qt 6 Widgets program can show, a
// main window with an empty tree view, ended at its first paint. With
// --with-text it also has a menu bar and seven column captions, what any
// window with text pays for (fonts found and shaped).
#include "FirstPaint.h"

#include <QMenuBar>
#include <QStandardItemModel>
#include <QTreeView>
#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ExitAtFirstPaint probe;
    app.installEventFilter(&probe);
    QMainWindow window;
    auto* view = new QTreeView(&window);
    window.setCentralWidget(view);
    if (argc > 1 && std::strcmp(argv[1], "--with-text") == 0) {
        window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
        window.menuBar()->addMenu(QStringLiteral("&Creature"))->addAction(QStringLiteral("&Delete"));
        auto* model = new QStandardItemModel(0, 7, &window);
        model->setHorizontalHeaderLabels({"Name of Creature", "Moniker", "Species", "Gender", "Parents",
                                          "Life (From -> To)", "State"});
        view->setModel(model);
    }
    window.resize(599, 392);
    window.show();
    return app.exec();
}
