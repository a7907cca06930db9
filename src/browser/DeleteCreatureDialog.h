// Deleting a creature's files: the dialog that offers them and the
// confirmation text that names each file and the consequences. The main
// window fills the dialog, runs it, reads the choice back, confirms and
// deletes.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class DeleteCreatureDialog;
}

inline constexpr const char* kDeleteCaption = QT_TRANSLATE_NOOP("DeleteCreatureDialog", "The Endrish Lifeledger");

// What the user chose, and what the confirmation needs to know of it.
struct DeleteChoice {
    int state = 0;
    bool photo = false, genetics = false, history = false;        // checked
    bool photoOffered = false, geneticsOffered = false;           // enabled
    QByteArray albumPath, geneticsPath, historyPath;  // the file system's bytes

    bool any() const { return photo || genetics || history; }
};

// The confirmation text: the files to be deleted, then the consequences,
// then "Are you sure?"; lines end in a single line feed.
QString deleteConfirmationText(const DeleteChoice& choice);

class DeleteCreatureDialog : public QDialog {
    Q_OBJECT
public:
    explicit DeleteCreatureDialog(QWidget* parent = nullptr);
    ~DeleteCreatureDialog() override;

    // Shows the creature's moniker and name; the history entry is offered
    // unchecked, the album and the genetics file checked where offered and
    // disabled where not.
    void fill(const QString& moniker, const QString& displayName, bool offerPhoto, bool offerGenetics);

    // Copies the boxes as they stand (checked, and enabled) into the choice.
    void readChoice(DeleteChoice& choice) const;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;  // no way out but "Execute Choice"

private:
    std::unique_ptr<Ui::DeleteCreatureDialog> ui;
};
