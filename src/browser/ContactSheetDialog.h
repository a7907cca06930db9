// The whole album at a glance: every photo as a thumbnail with its index and
// size; a click (or Enter) shows it at full size, fitted to the window or at
// 1:1; every photo saved at once, as PNG or as the 16-bit BMP the album
// viewer writes.
#pragma once

#include <QDialog>
#include <QImage>
#include <memory>
#include <vector>

namespace Ui {
class ContactSheetDialog;
class PhotoViewDialog;
}
class QStandardItemModel;

// One photo at full size: fitted to the window when it is larger, else 1:1;
// "Fit to Window" switches between the two.
class PhotoViewDialog : public QDialog {
    Q_OBJECT
public:
    explicit PhotoViewDialog(QWidget* parent = nullptr);
    ~PhotoViewDialog() override;

    void showPhoto(const QImage& photo, const QString& caption);
    bool fitted() const;
    // The picture as drawn now.
    QSize shownSize() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void lay();

    std::unique_ptr<Ui::PhotoViewDialog> ui;
    QImage photo_;
    bool choseFit_ = false;
};

class ContactSheetDialog : public QDialog {
    Q_OBJECT
public:
    explicit ContactSheetDialog(QWidget* parent = nullptr);
    ~ContactSheetDialog() override;

    // Loads the album (the loader's errors are passed on) and lists its
    // photos; `stem` names the files a save writes ("<stem>-<index>.png").
    void fill(const QString& creature, const QByteArray& albumPath, const QString& stem);
    int photoCount() const { return static_cast<int>(photos_.size()); }

    // Saves every photo into the folder in the chosen format; returns how
    // many. Throws FileCreateError when one cannot be written.
    int saveAll(const QString& folder);

public slots:
    void showPhoto(int index);
    void saveAllClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a save puts the photo: "<folder>/<stem>-<index>.<ending>".
    QByteArray photoName(int index, const QString& ending) const;

    std::unique_ptr<Ui::ContactSheetDialog> ui;
    QStandardItemModel* model_;
    std::vector<QImage> photos_;
    QString stem_;
    QString creature_;
};
