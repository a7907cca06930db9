// A busy game against the program's own saves and deletions: a child
// process rewrites records in place, writes new ones and renames them over,
// adds and removes records and albums, while the program reads the folder,
// saves edits and deletes creatures through its real paths. Afterwards every
// record is judged against what the game last did to it.
#pragma once

#include <QString>
#include <QStringList>

struct TRaceOptions {
    QString Folder;       // an empty folder to play in
    int Cycles = 300;     // the program's commands: a reread, then an edit or a deletion
    unsigned Seed = 1;    // both sides' choices follow from it
    int Creatures = 24;   // records the game keeps busy
    int GamePauseMicros = 400;  // the longest pause between two of the game's steps
    int SlowDiskMicros = 300;   // how long the disk takes to flush and to rename, in a save
};

struct TRaceFigures {
    int Cycles = 0;
    int Saves = 0, SavesRefused = 0;      // edits written; edits refused as the game changed the record first
    int Deletes = 0, DeletesRefused = 0;  // likewise for deletions
    int GameWrites = 0, GameRemovals = 0;
    // What must stay zero:
    int Lost = 0;         // records that do not hold the game's last write
    int Resurrected = 0;  // records the game removed last that exist again
    int Corrupted = 0;    // records that are no whole record of the game's or an edit of one
    int LeftOver = 0;     // the program's hidden files left in the folder
    QStringList Problems; // one line per fault found, for the report
};

TRaceFigures RunGameRace(const TRaceOptions& options);

// The figures as one line each, for the report.
QString FiguresText(const TRaceFigures& figures);
