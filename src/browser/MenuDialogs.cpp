#include "browser/MenuDialogs.h"

#include "browser/HistoryController.h"
#include "browser/PlainText.h"
#include "browser/SaveFileDialog.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QFileDialog>

namespace {

QString translated(const char* text, int n = -1)
{
    return QCoreApplication::translate("MenuDialogs", text, nullptr, n);
}

}  // namespace

void exportListInteractively(QWidget* parent, HistoryController* controller, const std::vector<int>& rows)
{
    SaveFileDialog dialog(parent, translated(QT_TRANSLATE_NOOP("MenuDialogs", "CSV Files (*.csv)")), QStringLiteral("csv"));
    dialog.setWindowTitle(translated(QT_TRANSLATE_NOOP("MenuDialogs", "Export List")));
    dialog.selectFile(QStringLiteral("creatures.csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    controller->exportList(dialog.selectedFiles().first(), rows);
}

void exportFamilyBookInteractively(QWidget* parent, HistoryController* controller)
{
    const QString title = translated(QT_TRANSLATE_NOOP("MenuDialogs", "Export Family Book"));
    const QString folder = QFileDialog::getExistingDirectory(parent, title);
    if (folder.isEmpty())
        return;
    // A link there, even one leading nowhere, is asked about too (and then refused).
    if (entryExists(encodePath(folder + QStringLiteral("/index.html")))
        && showMessage(parent, QMessageBox::Question, title,
                       translated(QT_TRANSLATE_NOOP("MenuDialogs", "%1 already holds an index.html. Replace it?")).arg(folder),
                       QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FamilyBook book;
    try {
        book = controller->exportFamilyBook(folder);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    showMessage(parent, QMessageBox::Information, title,
                translated(QT_TRANSLATE_N_NOOP("MenuDialogs", "The family book of %n creatures is in %1 (open index.html in any browser)."),
                           book.creatures)
                    .arg(folder),
                QMessageBox::Ok, QMessageBox::NoButton,
                book.problems.isEmpty() ? QString()
                                        : translated(QT_TRANSLATE_NOOP("MenuDialogs", "Albums left out:")) + QLatin1Char('\n')
                                              + book.problems.join(QLatin1Char('\n')));
}

void showAboutBox(QWidget* parent, const HistoryController* controller)
{
    const InstallationSource& source = controller->source();
    // Rich text of the program's own, every path in it escaped.
    QString where = QStringLiteral("<table>");
    auto row = [&where](const char* what, const QString& value) {
        where += QStringLiteral("<tr><td>%1&nbsp;</td><td>%2</td></tr>").arg(translated(what), value.toHtmlEscaped());
    };
    row(QT_TRANSLATE_NOOP("MenuDialogs", "Found by:"), source.launcher);
    if (!source.prefix.isEmpty())
        row(QT_TRANSLATE_NOOP("MenuDialogs", "Wine prefix:"), pathText(source.prefix));
    row(QT_TRANSLATE_NOOP("MenuDialogs", "History folder:"), pathText(controller->historyDirectory()));
    row(QT_TRANSLATE_NOOP("MenuDialogs", "Genetics folder:"), pathText(controller->geneticsDirectory()));
    where += QStringLiteral("</table>");
    QMessageBox::about(parent, translated(QT_TRANSLATE_NOOP("MenuDialogs", "About Lifeledger")),
                       QStringLiteral("<h3>Lifeledger %1</h3><p>%2</p><p>%3</p>%4")
                           .arg(QStringLiteral(LIFELEDGER_VERSION),
                                translated(QT_TRANSLATE_NOOP("MenuDialogs", "A companion for the creature-raising game Vivarion 2: every "
                                                                              "creature that ever lived in your world, its record, its "
                                                                              "photos and its files.")),
                                translated(QT_TRANSLATE_NOOP("MenuDialogs", "Reading now:")), where));
}
