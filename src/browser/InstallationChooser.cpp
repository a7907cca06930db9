#include "browser/InstallationChooser.h"

#include "browser/CutTextTipDelegate.h"
#include "history/HistoryScan.h"
#include "platform/FileSystem.h"
#include "ui_InstallationChooser.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>

TInstallationChooser::TInstallationChooser(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TInstallationChooser>())
{
    ui->setupUi(this);
    model_ = new QStandardItemModel(0, 4, this);
    model_->setHorizontalHeaderLabels({tr("Launcher"), tr("Wine prefix"), tr("History folder"), tr("Creatures")});
    ui->Installations->setModel(model_);
    // Folder names may be anything: a cut one shows whole, as plain text.
    ui->Installations->setItemDelegate(new TCutTextTipDelegate(ui->Installations));
    connect(ui->Installations, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
}

TInstallationChooser::~TInstallationChooser() = default;

void TInstallationChooser::Fill(const std::vector<TFoundInstallation>& found, const QByteArray& current)
{
    model_->removeRows(0, model_->rowCount());
    int selected = 0;
    for (const TFoundInstallation& installation : found) {
        auto* count = new QStandardItem(QString::number(CountHistoryFiles(installation.Directories.HistoryDirectory)));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (QDir::cleanPath(PathText(installation.Prefix)) == QDir::cleanPath(PathText(current)))
            selected = model_->rowCount();
        model_->appendRow({new QStandardItem(installation.Launcher), new QStandardItem(PathText(installation.Prefix)),
                           new QStandardItem(PathText(installation.Directories.HistoryDirectory)), count});
    }
    ui->Installations->header()->resizeSections(QHeaderView::ResizeToContents);
    if (model_->rowCount() > 0)
        ui->Installations->setCurrentIndex(model_->index(selected, 0));
    ui->Buttons->button(QDialogButtonBox::Open)->setEnabled(model_->rowCount() > 0);
    ui->Installations->setFocus();
}

int TInstallationChooser::Choice() const
{
    const QModelIndex current = ui->Installations->currentIndex();
    return current.isValid() ? current.row() : -1;
}
