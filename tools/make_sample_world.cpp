// make-sample-world OUTDIR [--creatures N]: writes a sample installation of
// the game into a Wine-style prefix, for the demo and for trying Lifeledger
// without the game; with N more generated creatures, for trying it at scale.
#include "sampleworld/SampleWorld.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const char* usage = "usage: make-sample-world OUTDIR [--creatures N]\n"
                        "  --creatures N  adds N generated creatures in deep, wide lines (up to 1,000,000)\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        QTextStream(stdout) << usage;
        return 0;
    }
    int more = 0;
    // OUTDIR is a folder, never an option ("--help" names no folder to make).
    bool ok = argc >= 2 && argv[1][0] != '-' && (argc == 2 || argc == 4);
    if (ok && argc == 4)
        ok = std::strcmp(argv[2], "--creatures") == 0;
    if (ok && argc == 4)
        more = QByteArray(argv[3]).toInt(&ok);
    if (!ok || more < 0 || more > 1000000) {
        err << usage;
        return 2;
    }
    try {
        const SampleWorld world = writeSampleWorld(QString::fromLocal8Bit(argv[1]));
        writeGeneratedCreatures(world, more);
        QTextStream(stdout) << "Sample installation written to " << world.prefix << " ("
                            << sampleCreatures().size() + size_t(more) << " creatures)\n"
                            << "Run Lifeledger with WINEPREFIX=" << world.prefix << "\n";
        return 0;
    } catch (const Exception& e) {
        err << e.message << "\n";
        return 1;
    }
}
