// File > Restore Deleted...: the deletions the safety net keeps for this
// installation, from this session and earlier ones. A chosen one's files
// go back under their own names (as an undo puts them back); entries can be
// removed from the store for good.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class RestoreDeletedDialog;
}
class HistoryController;
class QTreeWidget;

class RestoreDeletedDialog : public QDialog {
    Q_OBJECT
public:
    RestoreDeletedDialog(HistoryController* controller, QWidget* parent = nullptr);
    ~RestoreDeletedDialog() override;

    QTreeWidget* deletionList() const;

public slots:
    void restoreChosen();
    void removeChosen();

private:
    void reload();
    void updateButtons();
    QList<QByteArray> chosenIds() const;

    std::unique_ptr<Ui::RestoreDeletedDialog> ui;
    HistoryController* controller_;
};
