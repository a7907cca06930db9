// Asks which installation of the game to open when several were found: each
// with the launcher that keeps it, its Wine prefix, its history folder and
// how many creatures it holds.
#pragma once

#include "platform/Launchers.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui {
class TInstallationChooser;
}
class QStandardItemModel;

class TInstallationChooser : public QDialog {
    Q_OBJECT
public:
    explicit TInstallationChooser(QWidget* parent = nullptr);
    ~TInstallationChooser() override;

    // Lists the installations, the one with that prefix (if any) selected,
    // else the first.
    void Fill(const std::vector<TFoundInstallation>& found, const QByteArray& current = {});

    // The row chosen, or -1.
    int Choice() const;

private:
    std::unique_ptr<Ui::TInstallationChooser> ui;
    QStandardItemModel* model_ = nullptr;
};
