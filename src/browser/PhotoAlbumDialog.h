// The photo album viewer: the photos of a creature's album one by one, and
// the one shown saved as a BMP file on a double-click. The main window fills
// it with an album, runs it and lets the album go again.
#pragma once

#include "sprites/SpriteImage.h"

#include <QDialog>
#include <memory>
#include <optional>

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

    // How many photos the dialog holds: none between viewings.
    int photoCount() const { return album_ ? album_->count() : 0; }

public slots:
    void imagesClick();
    void graveImageDblClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::PhotoAlbumDialog> ui;
    // Item i of the photo list is photo i while the dialog is open.
    std::optional<Album> album_;
    // Lives as long as the dialog once made, and offers the last name again.
    SaveFileDialog* saveDialog_ = nullptr;
};
