// The photo album viewer: the photos of a creature's album one by one, and
// the one shown saved as a BMP file on a double-click.
#pragma once

#include "sprites/unitS16Handler.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TPhotoAlbum;
}
class TSaveFileDialog;
class QListWidget;
class TImageBox;
class THistoryViewer;

inline constexpr const char* kNoAlbumCaption = "Lifeledger - View Photo Album";
inline constexpr const char* kNoAlbumText =
    "This Creature does not have a photo album. As a result, you cannot view what is not there";

class TPhotoAlbum : public QDialog {
    Q_OBJECT
public:
    explicit TPhotoAlbum(QWidget* parent = nullptr);
    ~TPhotoAlbum() override;

    // The command on the main window's selected row.
    void Run(THistoryViewer& viewer);

    QListWidget* Images = nullptr;
    TImageBox* GraveImage = nullptr;
    TSaveFileDialog* SaveBMP = nullptr;

    // Empty between viewings; item i of Images is sprite i while open.
    std::unique_ptr<TS16File> SpriteFile;

public slots:
    void ImagesClick();
    void GraveImageDblClick();

private:
    void FormCreate();
    void FormDestroy();

    std::unique_ptr<Ui::TPhotoAlbum> ui;
};
