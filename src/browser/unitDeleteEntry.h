// Deleting a creature's files: the dialog that offers them and the
// confirmation text that names each file and the consequences. The main
// window fills the dialog, runs it, reads the choice back, confirms and
// deletes.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TDeleteEntry;
}

inline constexpr const char* kDeleteCaption = QT_TRANSLATE_NOOP("TDeleteEntry", "The Endrish Lifeledger");

// What the user chose, and what the confirmation needs to know of it.
struct TDeleteChoice {
    int State = 0;
    bool Photo = false, Genetics = false, History = false;        // checked
    bool PhotoOffered = false, GeneticsOffered = false;           // enabled
    QByteArray AlbumPath, GeneticsPath, HistoryPath;  // the file system's bytes

    bool Any() const { return Photo || Genetics || History; }
};

// The confirmation text: the files to be deleted, then the consequences,
// then "Are you sure?"; lines end in a single line feed.
QString DeleteConfirmationText(const TDeleteChoice& choice);

class TDeleteEntry : public QDialog {
    Q_OBJECT
public:
    explicit TDeleteEntry(QWidget* parent = nullptr);
    ~TDeleteEntry() override;

    // Shows the creature's moniker and name; the history entry is offered
    // unchecked, the album and the genetics file checked where offered and
    // disabled where not.
    void Fill(const QString& moniker, const QString& displayName, bool offerPhoto, bool offerGenetics);

    // Copies the boxes as they stand (checked, and enabled) into the choice.
    void ReadChoice(TDeleteChoice& choice) const;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;  // no way out but "Execute Choice"

private:
    std::unique_ptr<Ui::TDeleteEntry> ui;
};
