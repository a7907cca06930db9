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
class TContactSheet;
class TPhotoView;
}
class QStandardItemModel;

// One photo at full size: fitted to the window when it is larger, else 1:1;
// "Fit to Window" switches between the two.
class TPhotoView : public QDialog {
    Q_OBJECT
public:
    explicit TPhotoView(QWidget* parent = nullptr);
    ~TPhotoView() override;

    void Show(const QImage& photo, const QString& caption);
    bool Fitted() const;
    // The picture as drawn now.
    QSize ShownSize() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Lay();

    std::unique_ptr<Ui::TPhotoView> ui;
    QImage photo_;
    bool choseFit_ = false;
};

class TContactSheet : public QDialog {
    Q_OBJECT
public:
    explicit TContactSheet(QWidget* parent = nullptr);
    ~TContactSheet() override;

    // Loads the album (the loader's errors are passed on) and lists its
    // photos; `stem` names the files a save writes ("<stem>-<index>.png").
    void Fill(const QString& creature, const QByteArray& albumPath, const QString& stem);
    int PhotoCount() const { return static_cast<int>(photos_.size()); }

    // Saves every photo into the folder in the chosen format; returns how
    // many. Throws EFCreateError when one cannot be written.
    int SaveAll(const QString& folder);

public slots:
    void ShowPhoto(int index);
    void SaveAllClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a save puts the photo: "<folder>/<stem>-<index>.<ending>".
    QByteArray PhotoName(int index, const QString& ending) const;

    std::unique_ptr<Ui::TContactSheet> ui;
    QStandardItemModel* model_;
    std::vector<QImage> photos_;
    QString stem_;
};
