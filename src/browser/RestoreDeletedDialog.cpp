#include "browser/RestoreDeletedDialog.h"
#include "ui_RestoreDeletedDialog.h"

#include "browser/CommandGuard.h"
#include "browser/HistoryController.h"
#include "browser/PlainText.h"
#include "platform/TextCodec.h"

#include <QDateTime>
#include <QHeaderView>
#include <QMessageBox>

namespace {

QString fileNames(const BackupEntry& entry)
{
    QStringList names;
    for (const KeptFile& f : entry.files) {
        if (!f.removed)
            continue;
        switch (f.file) {
        case CreatureFile::History: names << RestoreDeletedDialog::tr("history record"); break;
        case CreatureFile::Album: names << RestoreDeletedDialog::tr("photo album"); break;
        case CreatureFile::Genetics: names << RestoreDeletedDialog::tr("genetics file"); break;
        }
    }
    return names.join(QStringLiteral(", "));
}

QString filePaths(const BackupEntry& entry)
{
    QStringList paths;
    for (const KeptFile& f : entry.files)
        if (f.removed)
            paths << pathText(f.path);
    return paths.join(QLatin1Char('\n'));
}

constexpr int kIdRole = Qt::UserRole;

}  // namespace

RestoreDeletedDialog::RestoreDeletedDialog(HistoryController* controller, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::RestoreDeletedDialog>()), controller_(controller)
{
    ui->setupUi(this);
    connect(ui->restoreButton, &QPushButton::clicked, this, &RestoreDeletedDialog::restoreChosen);
    connect(ui->removeButton, &QPushButton::clicked, this, &RestoreDeletedDialog::removeChosen);
    connect(ui->deletionList, &QTreeWidget::itemSelectionChanged, this, &RestoreDeletedDialog::updateButtons);
    // Enter presses the default button, Restore; a double click does the same.
    connect(ui->deletionList, &QTreeWidget::itemDoubleClicked, this, &RestoreDeletedDialog::restoreChosen);
    const BackupStore& store = controller_->backupStore();
    ui->storeLabel->setText(tr("The copies are kept in %1, at most %2 MiB of them, none longer than %n days.", nullptr,
                               int(store.limits().maxAgeDays))
                                .arg(pathText(store.folder()), QLocale().toString(store.limits().maxBytes >> 20)));
    reload();
}

RestoreDeletedDialog::~RestoreDeletedDialog() = default;

QTreeWidget* RestoreDeletedDialog::deletionList() const
{
    return ui->deletionList;
}

void RestoreDeletedDialog::reload()
{
    ui->deletionList->clear();
    const QLocale locale;
    for (const BackupEntry& entry : controller_->keptDeletions()) {
        auto* item = new QTreeWidgetItem(ui->deletionList);
        item->setText(0, decodeText(entry.name));
        item->setToolTip(0, plainToolTip(item->text(0)));
        item->setText(1, decodeText(entry.moniker));
        item->setText(2, locale.toString(QDateTime::fromMSecsSinceEpoch(entry.whenMs), QLocale::ShortFormat));
        item->setText(3, fileNames(entry));
        item->setToolTip(3, plainToolTip(filePaths(entry)));
        item->setData(0, kIdRole, entry.id);
    }
    // As wide as the texts, but a name of thousands of letters is cut (its
    // whole text shows when the pointer rests on it).
    for (int c = 0; c < ui->deletionList->columnCount(); ++c) {
        ui->deletionList->resizeColumnToContents(c);
        ui->deletionList->setColumnWidth(c, std::min(ui->deletionList->columnWidth(c), 320));
    }
    if (ui->deletionList->topLevelItemCount() > 0)
        ui->deletionList->setCurrentItem(ui->deletionList->topLevelItem(0));
    updateButtons();
}

QList<QByteArray> RestoreDeletedDialog::chosenIds() const
{
    QList<QByteArray> ids;
    for (const QTreeWidgetItem* item : ui->deletionList->selectedItems())
        ids << item->data(0, kIdRole).toByteArray();
    return ids;
}

void RestoreDeletedDialog::updateButtons()
{
    const qsizetype chosen = ui->deletionList->selectedItems().size();
    ui->restoreButton->setEnabled(chosen == 1);
    ui->removeButton->setEnabled(chosen > 0);
}

void RestoreDeletedDialog::restoreChosen()
{
    const QList<QByteArray> ids = chosenIds();
    if (ids.size() != 1)
        return;
    const QString name = ui->deletionList->selectedItems().first()->text(0);
    const bool restored = runCommand(this, [&] { controller_->restoreDeletion(ids.first()); });
    reload();
    if (restored)
        showMessage(this, QMessageBox::Information, windowTitle(), tr("The files of %1 are back where they were.").arg(name));
}

void RestoreDeletedDialog::removeChosen()
{
    const QList<QByteArray> ids = chosenIds();
    if (ids.isEmpty()
        || showMessage(this, QMessageBox::Question, windowTitle(),
                       tr("Remove the copies of %n deletions from the store? They cannot be restored afterwards.", nullptr,
                          int(ids.size())),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    runCommand(this, [&] { controller_->forgetKept({ids.begin(), ids.end()}); });
    reload();
}
