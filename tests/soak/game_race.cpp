// game-race: the long run of the racing game, for scripts/soak.sh.
//   game-race [--cycles N] [--seed S]
// Prints the figures; exits 1 when anything was lost, resurrected,
// corrupted or left behind.
#include "soak/GameRace.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <cstdlib>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TRaceOptions options;
    options.Cycles = 5000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cycles") == 0)
            options.Cycles = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--creatures") == 0)
            options.Creatures = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--pause") == 0)
            options.GamePauseMicros = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seed") == 0)
            options.Seed = unsigned(std::atoi(argv[i + 1]));
    }
    QTemporaryDir dir;
    options.Folder = dir.path();
    const TRaceFigures figures = RunGameRace(options);
    std::fputs(qPrintable(FiguresText(figures)), stdout);
    std::fputs("\n", stdout);
    return figures.Lost + figures.Resurrected + figures.Corrupted + figures.LeftOver == 0 && figures.Problems.isEmpty() ? 0 : 1;
}
