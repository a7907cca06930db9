// The real start-up of Lifeledger (the same code the installed program runs),
// ended at the first paint of its filled main window.
#include "FirstPaint.h"
#include "browser/Startup.h"

int main(int argc, char** argv)
{
    return lifeledgerMain(argc, argv, [](QApplication& app) { app.installEventFilter(new ExitAtFirstPaint); });
}
