// The real start-up of Lifeledger (the same code the installed program runs),
// ended at the first paint of its filled main window.
#include "FirstPaint.h"
#include "browser/Startup.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TExitAtFirstPaint probe;
    app.installEventFilter(&probe);
    return RunLifeledger(app);
}
