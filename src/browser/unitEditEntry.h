// Editing a creature's record: its name, owner data, epitaph and gravestone
// photo, written back to its file on acceptance and followed by a rebuild
// of the list.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace Ui {
class TEditEntry;
}
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TImageBox;
class THistoryViewer;

// Where the dialog appears on the screen (its frame's top left).
inline constexpr QPoint kEditEntryPosition{293, 104};

class TEditEntry : public QDialog {
    Q_OBJECT
public:
    explicit TEditEntry(QWidget* parent = nullptr);
    ~TEditEntry() override;

    // The command on the main window's selected row.
    void Run(THistoryViewer& viewer);

    QLineEdit* Moniker = nullptr;
    QLineEdit* DisplayName = nullptr;
    QPlainTextEdit* Epitaph = nullptr;
    QPushButton* ChooseStone = nullptr;
    TImageBox* GraveImage = nullptr;
    QLineEdit* OwnerName = nullptr;
    QLineEdit* OwnerURL = nullptr;
    QLineEdit* OwnerEMail = nullptr;
    QPlainTextEdit* OwnerNotes = nullptr;
    QPushButton* Button2 = nullptr;  // "Cancel Edit"
    QPushButton* Button3 = nullptr;  // "Accept Edit"

    // The album index of the photo shown as gravestone; -1 when none.
    std::int32_t ChosenStone = -1;
    // The album opened at the last filling; "Choose" reads it again.
    QString AlbumPath;

public slots:
    void ChooseStoneClick();
    // "Accept Edit": closes the dialog only when every box can be stored.
    void accept() override;
    // Esc does nothing; only "Cancel Edit" cancels.
    void reject() override;

private:
    // One text box and the record bytes it was filled from.
    struct TField {
        QString Caption;
        QLineEdit* Line = nullptr;
        QPlainTextEdit* Memo = nullptr;
        QByteArray Original;   // bytes of the record
        QString Shown;         // the text as the box gave it back after filling
        QByteArray Result;     // bytes to store, set by accept()
        QString Text() const;
    };
    void Fill(TField& field, const QByteArray& bytes);

    std::unique_ptr<Ui::TEditEntry> ui;
    std::vector<TField> fields_;  // DisplayName, OwnerName, OwnerEMail, OwnerURL, OwnerNotes, Epitaph
};
