#include "browser/InstallationChooserDialog.h"

#include "browser/CutTextTipDelegate.h"
#include "browser/PlainText.h"
#include "history/HistoryScan.h"
#include "platform/FileSystem.h"
#include "ui_InstallationChooserDialog.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>

InstallationChooserDialog::InstallationChooserDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::InstallationChooserDialog>())
{
    ui->setupUi(this);
    model_ = new QStandardItemModel(0, 4, this);
    // What tells installations apart comes first; the long folders share
    // the rest of the width, cut in their middle (whole in a tooltip).
    model_->setHorizontalHeaderLabels({tr("Launcher"), tr("Creatures"), tr("Wine prefix"), tr("History folder")});
    ui->installationList->setModel(model_);
    // Folder names may be anything: a cut one shows whole, as plain text.
    ui->installationList->setItemDelegate(new CutTextTipDelegate(ui->installationList));
    connect(ui->installationList, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
}

InstallationChooserDialog::~InstallationChooserDialog() = default;

void InstallationChooserDialog::fill(const std::vector<FoundInstallation>& found, const QByteArray& current)
{
    model_->removeRows(0, model_->rowCount());
    int selected = 0;
    for (const FoundInstallation& installation : found) {
        auto* count = new QStandardItem(QString::number(countHistoryFiles(installation.directories.historyDirectory)));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (QDir::cleanPath(pathText(installation.prefix)) == QDir::cleanPath(pathText(current)))
            selected = model_->rowCount();
        model_->appendRow({new QStandardItem(installation.launcher), count, new QStandardItem(pathText(installation.prefix)),
                           new QStandardItem(pathText(installation.directories.historyDirectory))});
    }
    QHeaderView* header = ui->installationList->header();
    header->setStretchLastSection(false);
    for (int c : {0, 1})
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    for (int c : {2, 3})
        header->setSectionResizeMode(c, QHeaderView::Stretch);
    if (model_->rowCount() > 0)
        ui->installationList->setCurrentIndex(model_->index(selected, 0));
    ui->buttonBox->button(QDialogButtonBox::Open)->setEnabled(model_->rowCount() > 0);
    ui->installationList->setFocus();
}

int InstallationChooserDialog::choice() const
{
    const QModelIndex current = ui->installationList->currentIndex();
    return current.isValid() ? current.row() : -1;
}

std::optional<InstallationSource> InstallationChooserDialog::chooseAnother(QWidget* parent, const QString& home,
                                                                           const QByteArray& current)
{
    QStringList searched;
    const std::vector<FoundInstallation> found = findInstallations(UserFolders::fromEnvironment(home), &searched);
    if (found.empty()) {
        showMessage(parent, QMessageBox::Information, tr("Open Installation"), tr("No other installation of Vivarion 2 was found."),
                    QMessageBox::Ok, QMessageBox::NoButton, tr("Places searched:") + QLatin1Char('\n') + searched.join(QLatin1Char('\n')));
        return std::nullopt;
    }
    InstallationChooserDialog chooser(parent);
    chooser.fill(found, current);
    if (chooser.exec() != QDialog::Accepted || chooser.choice() < 0)
        return std::nullopt;
    const FoundInstallation& chosen = found[size_t(chooser.choice())];
    // Gone while the user chose: the list goes on showing what it shows.
    if (!readInstallation(chosen.prefix)) {
        showMessage(parent, QMessageBox::Warning, tr("Open Installation"),
                    tr("The installation in %1 no longer holds Vivarion 2. Lifeledger goes on showing the one it showed.")
                        .arg(pathText(chosen.prefix)));
        return std::nullopt;
    }
    return InstallationSource::fromPrefix(chosen.prefix, chosen.launcher);
}
