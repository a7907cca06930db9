// The photo album viewer: the photos of a creature's album one by one, and
// the one shown saved as a BMP file on a double-click. The main window fills
// it with an album, runs it and lets the album go again.
#pragma once

#include "sprites/unitS16Handler.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TPhotoAlbum;
}
class TSaveFileDialog;

inline constexpr const char* kNoAlbumCaption = QT_TRANSLATE_NOOP("TPhotoAlbum", "Lifeledger - View Photo Album");
inline constexpr const char* kNoAlbumText = QT_TRANSLATE_NOOP(
    "TPhotoAlbum", "This Creature does not have a photo album. As a result, you cannot view what is not there");

class TPhotoAlbum : public QDialog {
    Q_OBJECT
public:
    explicit TPhotoAlbum(QWidget* parent = nullptr);
    ~TPhotoAlbum() override;

    // Loads the album, lists its photos and shows the first. The loader's
    // errors are passed on; the dialog then keeps what it showed before.
    void Fill(const QByteArray& albumPath);
    // Lets the album go (after the dialog has closed).
    void Clear();

    // The album the dialog holds: empty between viewings.
    const TS16File& Album() const { return *SpriteFile; }

public slots:
    void ImagesClick();
    void GraveImageDblClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();

    std::unique_ptr<Ui::TPhotoAlbum> ui;
    // Item i of Images is sprite i while the dialog is open.
    std::unique_ptr<TS16File> SpriteFile;
    // Lives as long as the dialog once made, and offers the last name again.
    TSaveFileDialog* SaveBMP = nullptr;
};
