#include "browser/Exports.h"

#include "browser/CreatureListModel.h"
#include "common/Exception.h"
#include "history/CreatureFiles.h"
#include "history/Lineage.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "sprites/SpriteImage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>
#include <optional>

namespace {

QString translated(const char* text, int n = -1)
{
    return QCoreApplication::translate("Exports", text, nullptr, n);
}

// A text as an export holds it: without NUL characters, which no reader of
// either format takes as text (a record's fields may hold them).
QString withoutNul(const QString& text)
{
    return text.contains(QChar(u'\0')) ? QString(text).remove(QChar(u'\0')) : text;
}

// Whether a spreadsheet would take a cell for a formula: names come from
// other players, and "=HYPERLINK(...)" in a name must stay a name. A plain
// whole number ("-5") is a number, not a formula, and is kept as it is.
bool looksLikeFormula(const QString& text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first != u'=' && first != u'+' && first != u'-' && first != u'@' && first != u'\t' && first != u'\r')
        return false;
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+$"));
    return !number.match(text).hasMatch();
}

// One CSV field: a would-be formula behind a leading apostrophe (the guard
// spreadsheets understand), quoted when it holds a separator, a quote or a
// line break.
QString csvField(const QString& raw)
{
    QString text = withoutNul(raw);
    if (looksLikeFormula(text))
        text.prepend(QLatin1Char('\''));
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

void appendCsvLine(QString& out, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        out += csvField(fields[i]);
    }
    out += QStringLiteral("\r\n");
}

}  // namespace

QByteArray listAsCsv(const CreatureListModel& records, const std::vector<int>& rows, const QByteArray& historyDirectory,
                     const QByteArray& geneticsDirectory)
{
    QString out;
    QStringList header;
    for (int c = 0; c < CreatureListModel::ColumnCount; ++c)
        header << records.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    header << translated(QT_TRANSLATE_NOOP("Exports", "Birth time stamp")) << translated(QT_TRANSLATE_NOOP("Exports", "Death time stamp"))
           << translated(QT_TRANSLATE_NOOP("Exports", "History file")) << translated(QT_TRANSLATE_NOOP("Exports", "Photo album"))
           << translated(QT_TRANSLATE_NOOP("Exports", "Genetics file"));
    appendCsvLine(out, header);
    for (int row : rows) {
        const HistoryRecord record = records.readRecord(row);
        const CreatureListModel::RowTexts texts = records.rowTexts(row);
        QStringList fields(texts.texts.begin(), texts.texts.end());
        const Badges& badges = records.badges(row);
        fields << QString::number(record.birthTime) << QString::number(record.deathTime) << pathText(record.fileName)
               << (badges.album ? pathText(albumPath(historyDirectory, record.moniker)) : QString())
               << (badges.genetics ? pathText(geneticsPath(geneticsDirectory, record.moniker)) : QString());
        appendCsvLine(out, fields);
    }
    return out.toUtf8();
}

namespace {

using Column = CreatureListModel::Column;

QString escapedHtml(const QString& text)
{
    return withoutNul(text).toHtmlEscaped().replace(QStringLiteral("\r\n"), QStringLiteral("<br>")).replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QString anchor(int row)
{
    return QStringLiteral("c%1").arg(row);
}

// The page's style. A browser lays out only what is in sight
// (content-visibility): the list in parts of a hundred rows, the creatures
// one section each. The details are a grid, not floats, whose placing grows
// with their number.
const char* const kStyle =
    "<style>\nbody{font-family:sans-serif;margin:2em;max-width:70em}"
    "nav ol{list-style:none;padding:0;display:flex;flex-wrap:wrap;gap:.2em 1em}"
    "#list table{border-collapse:collapse;table-layout:fixed;width:100%}"
    "#list .part{content-visibility:auto;contain-intrinsic-size:auto 40em}"
    "#list .part+.part thead{position:absolute;clip-path:inset(50%);width:1px;height:1px;overflow:hidden}"
    "td,th{border-bottom:1px solid #ccc;padding:.2em .6em;text-align:left}td{overflow-wrap:anywhere}"
    "section{border-top:2px solid #999;margin-top:1.5em;content-visibility:auto;contain-intrinsic-size:auto 16em}"
    "dl{display:grid;grid-template-columns:10em 1fr;gap:.2em 1em}dt{font-weight:bold}dd{margin:0}"
    "figure{display:inline-block;margin:.5em;text-align:center}img{background:#000}\n</style>\n</head>\n<body>\n";

// The family book, written as it is made: pages of a bounded number of
// creatures each (a browser opens any of them at once, however large the
// history), the first one index.html, every page naming all of them; each
// page goes to the disk a megabyte at a time.
class FamilyBookWriter {
public:
    FamilyBookWriter(const QString& folder, const CreatureListModel& records, const LineageIndex& lineage,
                     const QByteArray& historyDirectory, const FamilyBookOptions& options)
        : records_(records),
          lineage_(lineage),
          historyDirectory_(historyDirectory),
          options_(options),
          root_(encodePath(folder)),
          photos_(root_, "photos")
    {
        options_.creaturesPerPage = std::max(1, options_.creaturesPerPage);
    }

    FamilyBook write()
    {
        book_.creatures = records_.count();
        names_.reserve(size_t(records_.count()));
        monikers_.reserve(size_t(records_.count()));
        for (int row = 0; row < records_.count(); ++row) {
            // As the list's name and moniker columns show them.
            const HistoryRecord e = records_.readRecord(row);
            names_.push_back(decodeText(e.displayName));
            monikers_.push_back(monikerDisplayText(e.moniker));
        }
        book_.pages = std::max(1, (records_.count() + options_.creaturesPerPage - 1) / options_.creaturesPerPage);
        written_ = QDateTime::currentDateTime().toString(Qt::ISODate);
        for (int page = 0; page < book_.pages; ++page)
            writePage(page);
        return book_;
    }

private:
    int pageOf(int row) const { return row / options_.creaturesPerPage; }
    int firstRow(int page) const { return page * options_.creaturesPerPage; }
    int endRow(int page) const { return std::min(records_.count(), firstRow(page) + options_.creaturesPerPage); }
    // What the page being written holds of a creature on it.
    struct PageRow {
        CreatureListModel::RowTexts texts;
        HistoryRecord record;
    };
    const PageRow& pageRow(int row) const { return rows_[size_t(row - firstRow(page_))]; }

    static QString pageFile(int page)
    {
        return page == 0 ? QStringLiteral("index.html") : QStringLiteral("creatures-%1.html").arg(page + 1);
    }
    // Where a creature's section is, from the page being written.
    QString hrefOf(int row) const
    {
        return (pageOf(row) == page_ ? QString() : pageFile(pageOf(row))) + QLatin1Char('#') + anchor(row);
    }

    void writePage(int page)
    {
        page_ = page;
        FileWriter file(root_, pageFile(page).toLatin1());
        file_ = &file;
        writeHead();
        writePageList();
        // Each creature of the page read and formatted once, for its list row
        // and its section.
        rows_.clear();
        for (int row = firstRow(page); row < endRow(page); ++row) {
            HistoryRecord record = records_.readRecord(row);
            rows_.push_back({records_.rowTexts(row), std::move(record)});
        }
        writeList();
        for (int row = firstRow(page); row < endRow(page); ++row) {
            writeCreature(row);
            if (options_.progress && (row + 1) % 1000 == 0)
                options_.progress(row + 1, records_.count());
        }
        html_ += QStringLiteral("</body>\n</html>\n");
        flush();
        file.commit();
        file_ = nullptr;
        if (options_.progress)
            options_.progress(endRow(page), records_.count());
    }

    void flushWhenLarge()
    {
        if (html_.size() > (1 << 20))
            flush();
    }
    void flush()
    {
        file_->write(html_.toUtf8());
        html_.clear();
    }

    void writeHead()
    {
        const QString book = translated(QT_TRANSLATE_NOOP("Exports", "Family Book"));
        const QString title = page_ == 0 ? book
                                         : translated(QT_TRANSLATE_NOOP("Exports", "%1, page %2 of %3"))
                                               .arg(book, QString::number(page_ + 1), QString::number(book_.pages));
        html_ += QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n<title>%2</title>\n")
                     .arg(translated(QT_TRANSLATE_NOOP("Exports", "en")), title);
        html_ += QLatin1String(kStyle);
        html_ += QStringLiteral("<h1>%1</h1>\n<p>%2</p>\n")
                     .arg(title, escapedHtml(translated(QT_TRANSLATE_N_NOOP("Exports", "%n creatures from %1, written %2."),
                                                        records_.count())
                                                 .arg(pathText(historyDirectory_), written_)));
    }

    // Every page, a link each but the one being read: the creatures it
    // holds by number, and its first and last name as the link's title.
    void writePageList()
    {
        if (book_.pages < 2)
            return;
        html_ += QStringLiteral("<nav aria-label=\"%1\"><ol>")
                     .arg(escapedHtml(translated(QT_TRANSLATE_NOOP("Exports", "Pages of the family book"))));
        for (int page = 0; page < book_.pages; ++page) {
            const QString range = QStringLiteral("%1&ndash;%2").arg(firstRow(page) + 1).arg(endRow(page));
            const QString names = escapedHtml(names_[size_t(firstRow(page))]) + QStringLiteral(" &ndash; ")
                                  + escapedHtml(names_[size_t(endRow(page) - 1)]);
            html_ += page == page_ ? QStringLiteral("<li><strong aria-current=\"page\" title=\"%2\">%1</strong></li>").arg(range, names)
                                   : QStringLiteral("<li><a href=\"%1\" title=\"%3\">%2</a></li>").arg(pageFile(page), range, names);
        }
        html_ += QStringLiteral("</ol></nav>\n");
    }

    // The page's creatures, each name a link to its section. Every part has
    // the same columns and its own header row (unseen but for the first),
    // for screen readers.
    void writeList()
    {
        const QString heading =
            book_.pages < 2 ? translated(QT_TRANSLATE_NOOP("Exports", "All creatures"))
                            : translated(QT_TRANSLATE_NOOP("Exports", "Creatures %1 to %2 of %3"))
                                  .arg(QString::number(firstRow(page_) + 1), QString::number(endRow(page_)), QString::number(records_.count()));
        html_ += QStringLiteral("<h2>%1</h2>\n<div id=\"list\">\n").arg(escapedHtml(heading));
        static_assert(CreatureListModel::ColumnCount == 7, "a width for every column");
        QString head = QStringLiteral("<colgroup>");
        for (const int percent : {13, 9, 9, 8, 21, 24, 16})
            head += QStringLiteral("<col style=\"width:%1%\">").arg(percent);
        head += QStringLiteral("</colgroup><thead><tr>");
        for (int c = 0; c < CreatureListModel::ColumnCount; ++c)
            head += QStringLiteral("<th>%1</th>").arg(escapedHtml(records_.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()));
        head += QStringLiteral("</tr></thead>\n<tbody>\n");
        constexpr int kPartRows = 100;
        for (int row = firstRow(page_); row < endRow(page_); ++row) {
            if ((row - firstRow(page_)) % kPartRows == 0)
                html_ += (row > firstRow(page_) ? QStringLiteral("</tbody></table></div>\n") : QString())
                         + QStringLiteral("<div class=\"part\"><table>") + head;
            const CreatureListModel::RowTexts& t = pageRow(row).texts;
            html_ += QStringLiteral("<tr><td><a href=\"%1\">%2</a></td>").arg(hrefOf(row), escapedHtml(t.texts[0]));
            for (int c = 1; c < CreatureListModel::ColumnCount; ++c)
                html_ += QStringLiteral("<td>%1</td>")
                             .arg(c == CreatureListModel::ParentsColumn && !hasParents(pageRow(row).record) ? QStringLiteral("&mdash;")
                                                                                             : escapedHtml(t.texts[size_t(c)]));
            html_ += QStringLiteral("</tr>\n");
            flushWhenLarge();
        }
        if (endRow(page_) > firstRow(page_))
            html_ += QStringLiteral("</tbody></table></div>\n");
        html_ += QStringLiteral("</div>\n");
    }

    // Whether the record names a parent at all (the list's "() and ()"
    // says it does not; the page says it with a dash, as its sections do).
    static bool hasParents(const HistoryRecord& e)
    {
        return e.parent1Moniker[0] != '\0' || e.parent2Moniker[0] != '\0' || !e.parent1Name.isEmpty() || !e.parent2Name.isEmpty();
    }

    // A creature as a link to its section: "name (moniker)".
    QString link(int row) const
    {
        return QStringLiteral("<a href=\"%1\">%2</a> (%3)")
            .arg(hrefOf(row), escapedHtml(names_[size_t(row)]), escapedHtml(monikers_[size_t(row)]));
    }

    // A parent as the page names it: a link to every record that carries
    // its moniker, or its name as its child's record gives it when the
    // history does not hold it.
    QString parentLinks(const Moniker& moniker, const QByteArray& name) const
    {
        if (moniker[0] == '\0' && name.isEmpty())
            return QStringLiteral("&mdash;");
        const auto rows = lineage_.rowsOf(moniker);
        if (rows.empty())
            return escapedHtml(decodeText(name)) + QStringLiteral(" (") + escapedHtml(monikerDisplayText(moniker))
                   + QStringLiteral(") &ndash; ") + escapedHtml(translated(QT_TRANSLATE_NOOP("Exports", "not in the history")));
        QStringList links;
        for (int row : rows)
            links << link(row);
        return links.join(QStringLiteral(", "));
    }

    void term(const char* what, const QString& value)
    {
        html_ += QStringLiteral("<dt>%1</dt><dd>%2</dd>").arg(escapedHtml(translated(what)), value);
    }

    // A creature: its details, its lineage as links, its photos.
    void writeCreature(int row)
    {
        const HistoryRecord& e = pageRow(row).record;
        const CreatureListModel::RowTexts& t = pageRow(row).texts;
        html_ += QStringLiteral("<section id=\"%1\">\n<h3>%2 (%3)</h3>\n<dl>")
                     .arg(anchor(row), escapedHtml(t[CreatureListModel::NameColumn]), escapedHtml(t[CreatureListModel::MonikerColumn]));
        term(QT_TRANSLATE_NOOP("Exports", "Species"), escapedHtml(t[CreatureListModel::SpeciesColumn]));
        term(QT_TRANSLATE_NOOP("Exports", "Gender"), escapedHtml(t[CreatureListModel::GenderColumn]));
        term(QT_TRANSLATE_NOOP("Exports", "Life"), escapedHtml(t[CreatureListModel::LifeColumn]));
        term(QT_TRANSLATE_NOOP("Exports", "State"), escapedHtml(t[CreatureListModel::StateColumn]));
        term(QT_TRANSLATE_NOOP("Exports", "Parents"), !hasParents(e) ? QStringLiteral("&mdash;")
                                                                     : parentLinks(e.parent1Moniker, e.parent1Name) + QStringLiteral("<br>")
                                                                             + parentLinks(e.parent2Moniker, e.parent2Name));
        QStringList children;
        for (int child : lineage_.childrenOf(e.moniker))
            children << link(child);
        term(QT_TRANSLATE_NOOP("Exports", "Children"), children.isEmpty() ? QStringLiteral("&mdash;") : children.join(QStringLiteral(", ")));
        QStringList owner;
        for (const QByteArray* field : {&e.ownerName, &e.ownerEMail, &e.ownerUrl})
            if (const QString text = escapedHtml(decodeText(*field)); !text.isEmpty())
                owner << text;
        if (!owner.isEmpty())
            term(QT_TRANSLATE_NOOP("Exports", "Owner"), owner.join(QStringLiteral(", ")));
        if (!e.ownerNotes.isEmpty())
            term(QT_TRANSLATE_NOOP("Exports", "Owner's notes"), escapedHtml(decodeText(e.ownerNotes)));
        if (!e.epitaph.isEmpty())
            term(QT_TRANSLATE_NOOP("Exports", "Epitaph"), escapedHtml(decodeText(e.epitaph)));
        html_ += QStringLiteral("</dl>\n");
        const QByteArray album = albumPath(historyDirectory_, e.moniker);
        if (records_.badges(row).album && !album.isEmpty())
            writePhotos(row, album, t[CreatureListModel::NameColumn]);
        html_ += QStringLiteral("</section>\n");
        flushWhenLarge();
    }

    // The album's photos as PNG files beside the page, and figures of them.
    // An album that cannot be read is left out and named.
    void writePhotos(int row, const QByteArray& path, const QString& creature)
    {
        std::optional<Album> album;
        try {
            album.emplace(path);
        } catch (const Exception& problem) {
            book_.problems << problem.message;
            return;
        }
        QString figures;
        for (int i = 0; i < album->count(); ++i) {
            const QImage& picture = album->photo(i);
            if (picture.isNull())
                continue;
            const QString name = QStringLiteral("%1-%2.png").arg(anchor(row)).arg(i);
            replaceFile(photos_, name.toLatin1(), encodePng(picture));
            ++book_.photos;
            // One pass of arg(): a name holding "%5" stays as it is.
            figures += QStringLiteral("<figure><img src=\"photos/%1\" width=\"%2\" height=\"%3\" alt=\"%4\">"
                                      "<figcaption>%5</figcaption></figure>")
                           .arg(name, QString::number(picture.width()), QString::number(picture.height()),
                                escapedHtml(translated(QT_TRANSLATE_NOOP("Exports", "Photo %1 of %2")).arg(i).arg(creature)),
                                escapedHtml(album->caption(i)));
        }
        if (!figures.isEmpty())
            html_ += QStringLiteral("<div class=\"photos\">%1</div>\n").arg(figures);
    }

    const CreatureListModel& records_;
    const LineageIndex& lineage_;
    const QByteArray historyDirectory_;
    FamilyBookOptions options_;
    // Every file goes into the very folder chosen and the photos folder made
    // in it, never through a link.
    const WriteFolder root_;
    const WriteFolder photos_;
    FamilyBook book_;
    QString written_;
    int page_ = 0;                // the page being written
    FileWriter* file_ = nullptr;  // and its file
    QString html_;
    std::vector<QString> names_, monikers_;  // every creature's, for the links to it
    std::vector<PageRow> rows_;               // the page's creatures, in row order
};

}  // namespace

FamilyBook writeFamilyBook(const QString& folder, const CreatureListModel& records, const LineageIndex& lineage,
                           const QByteArray& historyDirectory, const FamilyBookOptions& options)
{
    return FamilyBookWriter(folder, records, lineage, historyDirectory, options).write();
}
