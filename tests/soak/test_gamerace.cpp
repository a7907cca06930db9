// A short run of the racing game: nothing the game wrote is lost, nothing
// it removed comes back, no record is torn, nothing is left behind.
#include "soak/GameRace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(GameRace, TheGamesWritesSurviveTheProgramsSavesAndDeletions)
{
    for (unsigned seed : {1u, 2u}) {
        QTemporaryDir dir;
        TRaceOptions options;
        options.Folder = dir.path();
        options.Seed = seed;
        options.Cycles = 250;
        const TRaceFigures f = RunGameRace(options);
        EXPECT_EQ(f.Lost + f.Resurrected + f.Corrupted + f.LeftOver, 0) << FiguresText(f).toStdString();
        EXPECT_TRUE(f.Problems.isEmpty()) << FiguresText(f).toStdString();
        // The race was real: the game wrote and removed, saves went both ways.
        EXPECT_GT(f.GameWrites, 0);
        EXPECT_GT(f.Saves, 0);
        EXPECT_GT(f.SavesRefused + f.DeletesRefused, 0);
    }
}
