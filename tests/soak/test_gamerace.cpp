// A short run of the racing game: nothing the game wrote is lost, nothing
// it removed comes back, no record is torn, nothing is left behind.
#include "soak/GameRace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(GameRace, TheGamesWritesSurviveTheProgramsSavesAndDeletions)
{
    for (unsigned seed : {1u, 2u}) {
        QTemporaryDir dir;
        RaceOptions options;
        options.folder = dir.path();
        options.seed = seed;
        options.cycles = 250;
        const RaceFigures f = runGameRace(options);
        EXPECT_EQ(f.lost + f.resurrected + f.corrupted + f.leftOver, 0) << figuresText(f).toStdString();
        EXPECT_TRUE(f.problems.isEmpty()) << figuresText(f).toStdString();
        // The race was real: the game wrote and removed, saves went both ways.
        EXPECT_GT(f.gameWrites, 0);
        EXPECT_GT(f.saves, 0);
        EXPECT_GT(f.savesRefused + f.deletesRefused, 0);
    }
}
