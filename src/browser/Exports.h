// The list and the whole history written out for other programs and for
// reading anywhere: the list as CSV, and a family book, static HTML pages
// with every creature's details, its lineage as links and its photos.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class CreatureListModel;
class LineageIndex;

// The rows (model rows, in this order) as CSV: UTF-8, RFC 4180 (fields
// quoted where they hold a comma, a quote or a line break; CR LF between
// records), one header line; the seven columns as shown, then the raw time
// stamps of birth and death and the paths of the history file, the photo
// album and the genetics file (the latter two where the list found them).
QByteArray listAsCsv(const CreatureListModel& records, const std::vector<int>& rows, const QByteArray& historyDirectory,
                     const QByteArray& geneticsDirectory);

struct FamilyBook {
    int creatures = 0;
    int photos = 0;
    int pages = 0;
    QStringList problems;  // albums that could not be read (the book is written without them)
};

struct FamilyBookOptions {
    // A page opens in a browser at once when it holds a few hundred
    // creatures; a history of 100,000 in one page takes most of a minute.
    int creaturesPerPage = 500;
    // Told now and then how many creatures are written, of how many.
    std::function<void(int done, int total)> progress;
};

// Writes index.html (the first page), creatures-2.html, ... and
// photos/*.png into the folder (made if need be). Throws FileCreateError
// when something cannot be written.
FamilyBook writeFamilyBook(const QString& folder, const CreatureListModel& records, const LineageIndex& lineage,
                           const QByteArray& historyDirectory, const FamilyBookOptions& options = {});
