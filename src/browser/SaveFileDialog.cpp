#include "browser/SaveFileDialog.h"
#include "browser/PlainText.h"

#include <QFileInfo>
#include <QMessageBox>

SaveFileDialog::SaveFileDialog(QWidget* parent, const QString& filter, const QString& defaultSuffix)
    : QFileDialog(parent, QString(), QString(), filter)
{
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setDefaultSuffix(defaultSuffix);
    // Qt asks before replacing a file; read-only files are not hidden.
}

void SaveFileDialog::accept()
{
    const QStringList files = selectedFiles();
    if (!files.isEmpty()) {
        const QFileInfo chosen(files.first());
        // A folder typed as the name is opened by Qt itself.
        if (!chosen.isDir() && !QFileInfo(chosen.absolutePath()).isDir()) {
            showMessage(this, QMessageBox::Warning, windowTitle().isEmpty() ? tr("Save As") : windowTitle(),
                                 tr("The folder %1 does not exist.\nCheck the folder name and try again.")
                                     .arg(chosen.absolutePath()));
            return;
        }
    }
    QFileDialog::accept();
}
