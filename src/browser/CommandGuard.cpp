#include "browser/CommandGuard.h"

#include "browser/PlainText.h"

#include <QGuiApplication>
#include <new>

void showError(QWidget* parent, const QString& message, const QString& details)
{
    showMessage(parent, QMessageBox::Critical, QGuiApplication::applicationDisplayName(), message, QMessageBox::Ok,
                QMessageBox::NoButton, details);
}

void showNoInstallation(QWidget* parent, const QStringList& searched)
{
    showMessage(parent, QMessageBox::Critical, QCoreApplication::translate("CommandGuard", kNoInstallationCaption),
                QCoreApplication::translate("CommandGuard", kNoInstallationText), QMessageBox::Ok, QMessageBox::NoButton,
                searched.isEmpty() ? QString()
                                   : QCoreApplication::translate("CommandGuard", "Places searched:") + QLatin1Char('\n')
                                         + searched.join(QLatin1Char('\n')));
}

bool runCommand(QWidget* parent, const std::function<void()>& body,
                const std::function<void(const NoInstallationError&)>& onNoInstallation)
{
    try {
        body();
        return true;
    } catch (const NoInstallationError& missing) {
        if (onNoInstallation)
            onNoInstallation(missing);
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
