// Deleting a creature's files: the dialog that offers them, the confirmation
// that names each file and the consequences, and the list brought up to
// date row by row.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TDeleteEntry;
}
class QCheckBox;
class QLineEdit;
class THistoryViewer;

inline constexpr const char* kDeleteCaption = "The Endrish Lifeledger";

// What the confirmation needs to know of the choice made.
struct TDeleteChoice {
    int State = 0;
    bool Photo = false, Genetics = false, History = false;        // checked
    bool PhotoOffered = false, GeneticsOffered = false;           // enabled
    QString AlbumPath, GeneticsPath, HistoryPath;
};

// The confirmation text: the files to be deleted, then the consequences,
// then "Are you sure?"; lines end in a single line feed.
QString DeleteConfirmationText(const TDeleteChoice& choice);

class TDeleteEntry : public QDialog {
    Q_OBJECT
public:
    explicit TDeleteEntry(QWidget* parent = nullptr);
    ~TDeleteEntry() override;

    // The command on the main window's selected row.
    void Run(THistoryViewer& viewer);

    QLineEdit* Moniker = nullptr;
    QLineEdit* DisplayName = nullptr;
    QCheckBox* History = nullptr;
    QCheckBox* Genetics = nullptr;
    QCheckBox* Photo = nullptr;

protected:
    void reject() override;  // no way out but "Execute Choice"

private:
    std::unique_ptr<Ui::TDeleteEntry> ui;
};
