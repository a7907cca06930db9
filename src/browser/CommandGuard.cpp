#include "browser/CommandGuard.h"

#include "browser/PlainText.h"

#include <QGuiApplication>
#include <new>

void ShowError(QWidget* parent, const QString& message, const QString& details)
{
    ShowMessage(parent, QMessageBox::Critical, QGuiApplication::applicationDisplayName(), message, QMessageBox::Ok,
                QMessageBox::NoButton, details);
}

bool RunCommand(QWidget* parent, const std::function<void()>& body, const std::function<void()>& onNoInstallation)
{
    try {
        body();
        return true;
    } catch (const ENoInstallation&) {
        if (onNoInstallation)
            onNoInstallation();
        else
            throw;
    } catch (const Exception& e) {
        ShowError(parent, e.Message, e.Details);
    } catch (const std::bad_alloc&) {
        ShowError(parent, QCoreApplication::translate("CommandGuard", "There is not enough memory for this."));
    } catch (const std::exception& e) {
        ShowError(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}
