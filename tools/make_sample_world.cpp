// make-sample-world OUTDIR: writes a sample installation of the game into a
// Wine-style prefix, for the demo and for trying Lifeledger without the game.
#include "sampleworld/SampleWorld.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: make-sample-world OUTDIR\n";
        return 2;
    }
    try {
        const TSampleWorld world = WriteSampleWorld(QString::fromLocal8Bit(argv[1]));
        QTextStream(stdout) << "Sample installation written to " << world.Prefix << " ("
                            << SampleCreatures().size() << " creatures)\n"
                            << "Run Lifeledger with WINEPREFIX=" << world.Prefix << "\n";
        return 0;
    } catch (const Exception& e) {
        err << e.Message << "\n";
        return 1;
    }
}
