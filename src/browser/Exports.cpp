#include "browser/Exports.h"

#include "browser/CreatureListModel.h"
#include "common/Exception.h"
#include "history/CreatureFiles.h"
#include "history/Lineage.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "sprites/SpriteImage.h"
#include "sprites/S16File.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>

namespace {

QString translatedText(const char* text)
{
    return QCoreApplication::translate("Exports", text);
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
    for (int c = 0; c < kEntryColumns; ++c)
        header << records.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    header << translatedText(QT_TRANSLATE_NOOP("Exports", "Birth time stamp")) << translatedText(QT_TRANSLATE_NOOP("Exports", "Death time stamp"))
           << translatedText(QT_TRANSLATE_NOOP("Exports", "History file")) << translatedText(QT_TRANSLATE_NOOP("Exports", "Photo album"))
           << translatedText(QT_TRANSLATE_NOOP("Exports", "Genetics file"));
    appendCsvLine(out, header);
    for (int row : rows) {
        const HistoryRecord record = records.readRecord(row);
        const CreatureRow texts = records.rowTexts(record);
        QStringList fields(texts.texts.begin(), texts.texts.end());
        const int image = records.imageIndex(row);
        fields << QString::number(record.birthTime) << QString::number(record.deathTime) << pathText(record.fileName)
               << (hasAlbum(image) ? pathText(albumPath(historyDirectory, record.moniker)) : QString())
               << (hasGenetics(image) ? pathText(geneticsPath(geneticsDirectory, record.moniker)) : QString());
        appendCsvLine(out, fields);
    }
    return out.toUtf8();
}

namespace {

QString escapedHtml(const QString& text)
{
    return withoutNul(text).toHtmlEscaped().replace(QStringLiteral("\r\n"), QStringLiteral("<br>")).replace(QLatin1Char('\n'),
                                                                                               QStringLiteral("<br>"));
}

QString anchor(int row)
{
    return QStringLiteral("c%1").arg(row);
}

// A creature as a link to its section: "name (moniker)".
QString link(int row, const std::vector<QString>& names, const std::vector<QString>& monikers)
{
    return QStringLiteral("<a href=\"#%1\">%2</a> (%3)")
        .arg(anchor(row), escapedHtml(names[size_t(row)]), escapedHtml(monikers[size_t(row)]));
}

// A parent as the page names it: a link to every record that carries its
// moniker, or its name as its child's record gives it when the history does
// not hold it.
QString parentLinks(const LineageIndex& lineage, const std::vector<QString>& names,
                    const std::vector<QString>& monikers, const Moniker& moniker, const QByteArray& name)
{
    if (moniker[0] == '\0' && name.isEmpty())
        return QStringLiteral("&mdash;");
    const auto rows = lineage.rowsOf(moniker);
    if (rows.empty())
        return escapedHtml(decodeText(name)) + QStringLiteral(" (") + escapedHtml(monikerDisplayText(moniker)) + QStringLiteral(") &ndash; ")
               + escapedHtml(translatedText(QT_TRANSLATE_NOOP("Exports", "not in the history")));
    QStringList links;
    for (int row : rows)
        links << link(row, names, monikers);
    return links.join(QStringLiteral(", "));
}

}  // namespace

FamilyBook writeFamilyBook(const QString& folder, const CreatureListModel& records, const LineageIndex& lineage,
                            const QByteArray& historyDirectory)
{
    FamilyBook book;
    // Every file goes into the very folder chosen and the photos folder made
    // in it, never through a link.
    const WriteFolder root(encodePath(folder));
    const WriteFolder photos(root, "photos");
    const int count = records.count();
    book.creatures = count;
    // Written as it is made: the page of 100,000 creatures is large.
    FileWriter page(root, "index.html");
    QString html;
    auto flush = [&] {
        page.write(html.toUtf8());
        html.clear();
    };
    const QString title = translatedText(QT_TRANSLATE_NOOP("Exports", "Family Book"));
    html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n<title>%2</title>\n")
                .arg(translatedText(QT_TRANSLATE_NOOP("Exports", "en")), title);
    // A browser lays out only what is in sight (content-visibility): the list
    // in parts of a thousand rows, the creatures one section each. The
    // details are a grid, not floats, whose placing grows with their number.
    html += QStringLiteral(
        "<style>\nbody{font-family:sans-serif;margin:2em;max-width:70em}"
        "#list table{border-collapse:collapse;table-layout:fixed;width:100%}"
        "#list .part{content-visibility:auto;contain-intrinsic-size:auto 40em}"
        "#list .part+.part thead{position:absolute;clip-path:inset(50%);width:1px;height:1px;overflow:hidden}"
        "td,th{border-bottom:1px solid #ccc;padding:.2em .6em;text-align:left}td{overflow-wrap:anywhere}"
        "section{border-top:2px solid #999;margin-top:1.5em;content-visibility:auto;contain-intrinsic-size:auto 16em}"
        "dl{display:grid;grid-template-columns:10em 1fr;gap:.2em 1em}dt{font-weight:bold}dd{margin:0}"
        "figure{display:inline-block;margin:.5em;text-align:center}img{background:#000}\n</style>\n</head>\n<body>\n");
    html += QStringLiteral("<h1>%1</h1>\n<p>%2</p>\n")
                .arg(title, escapedHtml(translatedText(QT_TRANSLATE_NOOP("Exports", "%1 creatures from %2, written %3."))
                                     .arg(count)
                                     .arg(pathText(historyDirectory), QDateTime::currentDateTime().toString(Qt::ISODate))));

    // The list, each name a link to its creature.
    html += QStringLiteral("<h2>%1</h2>\n<div id=\"list\">\n").arg(escapedHtml(translatedText(QT_TRANSLATE_NOOP("Exports", "All creatures"))));
    // Every part has the same columns and its own (for all but the first,
    // unseen) header row, for screen readers.
    static_assert(kEntryColumns == 7, "a width for every column");
    QString head = QStringLiteral("<colgroup>");
    for (const int percent : {13, 9, 9, 8, 21, 24, 16})
        head += QStringLiteral("<col style=\"width:%1%\">").arg(percent);
    head += QStringLiteral("</colgroup><thead><tr>");
    for (int c = 0; c < kEntryColumns; ++c)
        head += QStringLiteral("<th>%1</th>").arg(escapedHtml(records.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()));
    head += QStringLiteral("</tr></thead>\n<tbody>\n");
    constexpr int kPartRows = 1000;
    // Every creature's name and moniker, for the links to it below.
    std::vector<QString> names, monikers;
    names.reserve(size_t(count));
    monikers.reserve(size_t(count));
    for (int row = 0; row < count; ++row) {
        if (row % kPartRows == 0)
            html += (row > 0 ? QStringLiteral("</tbody></table></div>\n") : QString())
                    + QStringLiteral("<div class=\"part\"><table>") + head;
        const CreatureRow texts = records.rowTexts(row);
        const auto& t = texts.texts;
        names.push_back(t[0]);
        monikers.push_back(t[1]);
        html += QStringLiteral("<tr><td><a href=\"#%1\">%2</a></td>").arg(anchor(row), escapedHtml(t[0]));
        for (int c = 1; c < kEntryColumns; ++c)
            html += QStringLiteral("<td>%1</td>").arg(escapedHtml(t[size_t(c)]));
        html += QStringLiteral("</tr>\n");
        if (html.size() > (1 << 20))
            flush();
    }
    if (count > 0)
        html += QStringLiteral("</tbody></table></div>\n");
    html += QStringLiteral("</div>\n");

    // Every creature: its details, its lineage as links, its photos.
    auto term = [&html](const char* what, const QString& value) {
        html += QStringLiteral("<dt>%1</dt><dd>%2</dd>").arg(escapedHtml(translatedText(what)), value);
    };
    for (int row = 0; row < count; ++row) {
        const HistoryRecord e = records.readRecord(row);
        const CreatureRow texts = records.rowTexts(e);
        const auto& t = texts.texts;
        html += QStringLiteral("<section id=\"%1\">\n<h3>%2 (%3)</h3>\n<dl>")
                    .arg(anchor(row), escapedHtml(t[0]), escapedHtml(t[1]));
        term(QT_TRANSLATE_NOOP("Exports", "Species"), escapedHtml(t[2]));
        term(QT_TRANSLATE_NOOP("Exports", "Gender"), escapedHtml(t[3]));
        term(QT_TRANSLATE_NOOP("Exports", "Life"), escapedHtml(t[5]));
        term(QT_TRANSLATE_NOOP("Exports", "State"), escapedHtml(t[6]));
        term(QT_TRANSLATE_NOOP("Exports", "Parents"),
             parentLinks(lineage, names, monikers, e.parent1Moniker, e.parent1Name) + QStringLiteral("<br>")
                 + parentLinks(lineage, names, monikers, e.parent2Moniker, e.parent2Name));
        QStringList children;
        for (int child : lineage.childrenOf(e.moniker))
            children << link(child, names, monikers);
        term(QT_TRANSLATE_NOOP("Exports", "Children"), children.isEmpty() ? QStringLiteral("&mdash;") : children.join(QStringLiteral(", ")));
        if (!e.ownerName.isEmpty() || !e.ownerEMail.isEmpty() || !e.ownerUrl.isEmpty())
            term(QT_TRANSLATE_NOOP("Exports", "Owner"),
                 QStringList{escapedHtml(decodeText(e.ownerName)), escapedHtml(decodeText(e.ownerEMail)), escapedHtml(decodeText(e.ownerUrl))}
                     .filter(QRegularExpression(QStringLiteral(".")))
                     .join(QStringLiteral(", ")));
        if (!e.ownerNotes.isEmpty())
            term(QT_TRANSLATE_NOOP("Exports", "Owner's notes"), escapedHtml(decodeText(e.ownerNotes)));
        if (!e.epitaph.isEmpty())
            term(QT_TRANSLATE_NOOP("Exports", "Epitaph"), escapedHtml(decodeText(e.epitaph)));
        html += QStringLiteral("</dl>\n");

        const int image = records.imageIndex(row);
        const QByteArray album = albumPath(historyDirectory, e.moniker);
        if (hasAlbum(image) && !album.isEmpty()) {
            S16File file;
            try {
                file.loadFromFile(album);
            } catch (const Exception& problem) {
                book.problems << problem.message;
            }
            QString figures;
            for (int i = 0; i < file.count(); ++i) {
                const QImage picture = spriteToImage(file.getSprite(i));
                if (picture.isNull())
                    continue;
                const QString name = QStringLiteral("%1-%2.png").arg(anchor(row)).arg(i);
                replaceFile(photos, name.toLatin1(), encodePng(picture));
                ++book.photos;
                // One pass of arg(): a name holding "%5" stays as it is.
                figures += QStringLiteral("<figure><img src=\"photos/%1\" width=\"%2\" height=\"%3\" alt=\"%4\">"
                                          "<figcaption>%5</figcaption></figure>")
                               .arg(name, QString::number(picture.width()), QString::number(picture.height()),
                                    escapedHtml(translatedText(QT_TRANSLATE_NOOP("Exports", "Photo %1 of %2")).arg(i).arg(t[0])),
                                    escapedHtml(photoCaption(i, picture.width(), picture.height())));
            }
            if (!figures.isEmpty())
                html += QStringLiteral("<div class=\"photos\">%1</div>\n").arg(figures);
        }
        html += QStringLiteral("</section>\n");
        if (html.size() > (1 << 20))
            flush();
    }
    html += QStringLiteral("</body>\n</html>\n");
    flush();
    page.commit();
    return book;
}
