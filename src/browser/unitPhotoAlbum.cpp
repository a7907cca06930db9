#include "unitPhotoAlbum.h"

#include "ui_unitPhotoAlbum.h"
#include "unitLifeledger.h"

TPhotoAlbum::TPhotoAlbum(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TPhotoAlbum>())
{
    ui->setupUi(this);
}

TPhotoAlbum::~TPhotoAlbum() = default;

void TPhotoAlbum::Run(THistoryViewer& viewer)
{
    if (viewer.SelectedRow() < 0)
        return;
}
