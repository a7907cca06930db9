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
    RaceOptions options;
    options.cycles = 5000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cycles") == 0)
            options.cycles = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--creatures") == 0)
            options.creatures = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--pause") == 0)
            options.gamePauseMicros = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seed") == 0)
            options.seed = unsigned(std::atoi(argv[i + 1]));
    }
    QTemporaryDir dir;
    options.folder = dir.path();
    const RaceFigures figures = runGameRace(options);
    std::fputs(qPrintable(figuresText(figures)), stdout);
    std::fputs("\n", stdout);
    return figures.lost + figures.resurrected + figures.corrupted + figures.leftOver == 0 && figures.problems.isEmpty() ? 0 : 1;
}
