#include "unitEditEntry.h"

#include "ui_unitEditEntry.h"
#include "unitLifeledger.h"

TEditEntry::TEditEntry(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TEditEntry>())
{
    ui->setupUi(this);
}

TEditEntry::~TEditEntry() = default;

void TEditEntry::Run(THistoryViewer& viewer)
{
    if (viewer.SelectedRow() < 0)
        return;
}
