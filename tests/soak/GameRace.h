// A busy game against the program's own saves and deletions: a child
// process rewrites records in place, writes new ones and renames them over,
// adds and removes records and albums, while the program reads the folder,
// saves edits and deletes creatures through its real paths. Afterwards every
// record is judged against what the game last did to it.
#pragma once

#include <QString>
#include <QStringList>

struct RaceOptions {
    QString folder;       // an empty folder to play in
    int cycles = 300;     // the program's commands: a reread, then an edit or a deletion
    unsigned seed = 1;    // both sides' choices follow from it
    int creatures = 24;   // records the game keeps busy
    int gamePauseMicros = 400;  // the longest pause between two of the game's steps
    int slowDiskMicros = 300;   // how long the disk takes to flush and to rename, in a save
};

struct RaceFigures {
    int cycles = 0;
    int saves = 0, savesRefused = 0;      // edits written; edits refused as the game changed the record first
    int deletes = 0, deletesRefused = 0;  // likewise for deletions
    int gameWrites = 0, gameRemovals = 0;
    // What must stay zero:
    int lost = 0;         // records that do not hold the game's last write
    int resurrected = 0;  // records the game removed last that exist again
    int corrupted = 0;    // records that are no whole record of the game's or an edit of one
    int leftOver = 0;     // the program's hidden files left in the folder
    QStringList problems; // one line per fault found, for the report
};

RaceFigures runGameRace(const RaceOptions& options);

// The figures as one line each, for the report.
QString figuresText(const RaceFigures& figures);
