#include "unitDeleteEntry.h"

#include "ui_unitDeleteEntry.h"
#include "unitLifeledger.h"

TDeleteEntry::TDeleteEntry(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TDeleteEntry>())
{
    ui->setupUi(this);
}

TDeleteEntry::~TDeleteEntry() = default;

void TDeleteEntry::Run(THistoryViewer& viewer)
{
    if (viewer.SelectedRow() < 0)
        return;
}
