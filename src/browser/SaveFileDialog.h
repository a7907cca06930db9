// Qt's save dialog, with one check it lacks: the folder of the chosen name
// must exist before the dialog closes. Qt's own dialog accepts a name in a
// folder that is not there and leaves the failure to the write that follows.
#pragma once

#include <QFileDialog>

class SaveFileDialog : public QFileDialog {
    Q_OBJECT
public:
    SaveFileDialog(QWidget* parent, const QString& filter, const QString& defaultSuffix);

public slots:
    void accept() override;
};
