#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TEditEntry;
}
class THistoryViewer;

class TEditEntry : public QDialog {
    Q_OBJECT
public:
    explicit TEditEntry(QWidget* parent = nullptr);
    ~TEditEntry() override;

    void Run(THistoryViewer& viewer);

private:
    std::unique_ptr<Ui::TEditEntry> ui;
};
