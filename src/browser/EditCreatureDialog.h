// Editing a creature's record: its name, owner data, epitaph and gravestone
// photo. The main window fills the dialog from a record, runs it, and on
// acceptance applies the result to the record, saves and rebuilds.
#pragma once

#include "history/HistoryRecord.h"
#include "sprites/SpriteImage.h"

#include <QByteArray>
#include <QDialog>
#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class EditCreatureDialog;
}

// Where the dialog appears on the screen (its frame's top left).
inline constexpr QPoint kEditEntryPosition{293, 104};

// The six texts the dialog edits, in the order acceptance stores them.
inline constexpr int kEditedTexts = 6;

// What an accepted edit gives the record.
struct EditResult {
    std::array<QByteArray, kEditedTexts> texts;  // bytes to store, in the order of the dialog's fields
    // The album index of the photo chosen as gravestone; -1 when the album
    // was not opened in the dialog.
    std::int32_t chosenStone = -1;

    // Copies the texts and, when a photo was chosen, its index into the
    // record; a record whose album was not opened keeps its stored choice.
    void applyTo(HistoryRecord& record) const;
};

class EditCreatureDialog : public QDialog {
    Q_OBJECT
public:
    explicit EditCreatureDialog(QWidget* parent = nullptr);
    ~EditCreatureDialog() override;

    // Fills the boxes from the record. With an album path (given where the
    // list found the creature's album), "Choose" is offered when the record
    // is dead or has a stored choice, and the chosen photo is shown; an
    // album that cannot be shown is reported and not offered.
    void fill(const HistoryRecord& record, const QByteArray& albumPath);

    // The edit as it stands; after acceptance, what is to be stored.
    const EditResult& editResult() const { return result_; }

public slots:
    void chooseStoneClick();
    // "Accept Edit": closes the dialog only when every box can be stored.
    void accept() override;
    // Esc does nothing; only "Cancel Edit" cancels.
    void reject() override;

private:
    void showStone(std::int32_t index);

    std::unique_ptr<Ui::EditCreatureDialog> ui;
    // The album opened at the last filling; "Choose" reads it again only
    // when the file changed since (the game may shrink it meanwhile).
    std::optional<Album> album_;
    std::array<QWidget*, kEditedTexts> boxes_{};     // the box of each text
    std::array<QByteArray, kEditedTexts> original_;  // the record's bytes of each box
    std::array<QString, kEditedTexts> shown_;        // each box's text as it read back after filling
    EditResult result_;
};
