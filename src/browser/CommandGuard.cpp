#include "browser/CommandGuard.h"

#include "browser/PlainText.h"

#include <QGuiApplication>
#include <new>

void showError(QWidget* parent, const QString& message, const QString& details)
{
    showMessage(parent, QMessageBox::Critical, QGuiApplication::applicationDisplayName(), message, QMessageBox::Ok,
                QMessageBox::NoButton, details);
}

bool runCommand(QWidget* parent, const std::function<void()>& body, const std::function<void()>& onNoInstallation)
{
    try {
        body();
        return true;
    } catch (const NoInstallationError&) {
        if (onNoInstallation)
            onNoInstallation();
        else
            throw;
    } catch (const Exception& e) {
        showError(parent, e.message, e.details);
    } catch (const std::bad_alloc&) {
        showError(parent, QCoreApplication::translate("CommandGuard", "There is not enough memory for this."));
    } catch (const std::exception& e) {
        showError(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}
