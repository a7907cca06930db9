// The photo album viewer: the photos of a creature's album one by one, and
// the one shown saved as a BMP file on a double-click. The main window fills
// it with an album, runs it and lets the album go again.
#pragma once

#include "sprites/S16File.h"

#include <QDialog>
#include <memory>

namespace Ui {
class PhotoAlbumDialog;
}
class SaveFileDialog;

inline constexpr const char* kNoAlbumCaption = QT_TRANSLATE_NOOP("PhotoAlbumDialog", "Lifeledger - View Photo Album");
inline constexpr const char* kNoAlbumText = QT_TRANSLATE_NOOP(
    "PhotoAlbumDialog", "This Creature does not have a photo album. As a result, you cannot view what is not there");

class PhotoAlbumDialog : public QDialog {
    Q_OBJECT
public:
    explicit PhotoAlbumDialog(QWidget* parent = nullptr);
    ~PhotoAlbumDialog() override;

    // Loads the album, lists its photos and shows the first. The loader's
    // errors are passed on; the dialog then keeps what it showed before.
    void fill(const QByteArray& albumPath);
    // Lets the album go (after the dialog has closed).
    void clear();

    // The album the dialog holds: empty between viewings.
    const S16File& album() const { return *SpriteFile; }

public slots:
    void imagesClick();
    void graveImageDblClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void formCreate();
    void formDestroy();

    std::unique_ptr<Ui::PhotoAlbumDialog> ui;
    // Item i of Images is sprite i while the dialog is open.
    std::unique_ptr<S16File> SpriteFile;
    // Lives as long as the dialog once made, and offers the last name again.
    SaveFileDialog* SaveBMP = nullptr;
};
