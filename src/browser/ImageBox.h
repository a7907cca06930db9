// The picture area of the edit and album dialogs: a black, lowered panel
// (Panel1) holding an image box (GraveImage) that draws its picture unscaled
// and centred, so a small picture sits in black and a large one shows its
// middle part.
#pragma once

#include <QImage>
#include <QWidget>

class QFrame;

class ImageBox : public QWidget {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);

    // The whole picture at full size (what a save writes), or a null image.
    const QImage& picture() const { return picture_; }
    void setPicture(QImage picture);
    void clear() { setPicture({}); }

signals:
    void doubleClicked();
    // Enter or Return pressed while the box has the focus.
    void activated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage picture_;
};

// Gives the panel around an image box its black background.
void setUpPicturePanel(QFrame* panel);
