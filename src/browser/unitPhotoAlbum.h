#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TPhotoAlbum;
}
class THistoryViewer;

class TPhotoAlbum : public QDialog {
    Q_OBJECT
public:
    explicit TPhotoAlbum(QWidget* parent = nullptr);
    ~TPhotoAlbum() override;

    void Run(THistoryViewer& viewer);

private:
    std::unique_ptr<Ui::TPhotoAlbum> ui;
};
