#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TDeleteEntry;
}
class THistoryViewer;

class TDeleteEntry : public QDialog {
    Q_OBJECT
public:
    explicit TDeleteEntry(QWidget* parent = nullptr);
    ~TDeleteEntry() override;

    void Run(THistoryViewer& viewer);

private:
    std::unique_ptr<Ui::TDeleteEntry> ui;
};
