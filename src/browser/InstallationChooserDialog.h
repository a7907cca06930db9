// Asks which installation of the game to open when several were found: each
// with the launcher that keeps it, its Wine prefix, its history folder and
// how many creatures it holds.
#pragma once

#include "platform/Launchers.h"

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class InstallationChooserDialog;
}
class QStandardItemModel;

class InstallationChooserDialog : public QDialog {
    Q_OBJECT
public:
    explicit InstallationChooserDialog(QWidget* parent = nullptr);
    ~InstallationChooserDialog() override;

    // Lists the installations, the one with that prefix (if any) selected,
    // else the first.
    void fill(const std::vector<FoundInstallation>& found, const QByteArray& current = {});

    // The row chosen, or -1.
    int choice() const;

    // "Open Installation...": searches the launchers below `home`, says so
    // when none holds the game, and asks which to open (`current` selected).
    // The installation chosen, if still there; one gone meanwhile is named
    // in a message and not returned.
    static std::optional<InstallationSource> chooseAnother(QWidget* parent, const QString& home, const QByteArray& current);

private:
    std::unique_ptr<Ui::InstallationChooserDialog> ui;
    QStandardItemModel* model_ = nullptr;
};
