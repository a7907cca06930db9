#include "browser/Settings.h"

#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <algorithm>

namespace {

const QString kRememberedPrefix = QStringLiteral("installation/prefix");
const QString kRememberedLauncher = QStringLiteral("installation/launcher");
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kColumnsKey = QStringLiteral("window/columns");

}  // namespace

QString settingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/lifeledger/lifeledger.conf");
}

std::unique_ptr<QSettings> openSettings(const QString& path, QString* problem)
{
    QString reason;
    if (!isRegularFileOrAbsent(encodePath(path), &reason)) {
        *problem = QCoreApplication::translate("Startup", "The settings file %1 cannot be used: %2 Lifeledger runs with "
                                                          "its defaults and remembers nothing this time.")
                       .arg(path, reason);
        return nullptr;
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

void rememberInstallation(QSettings* settings, const InstallationSource& source)
{
    if (!settings || source.prefix.isEmpty())
        return;
    // As text where the path is text (the file stays readable), else as
    // its bytes.
    if (encodePath(pathText(source.prefix)) == source.prefix)
        settings->setValue(kRememberedPrefix, pathText(source.prefix));
    else
        settings->setValue(kRememberedPrefix, source.prefix);
    settings->setValue(kRememberedLauncher, source.launcher);
    settings->sync();
}

std::optional<InstallationSource> rememberedInstallation(QSettings* settings)
{
    if (!settings)
        return std::nullopt;
    const QVariant value = settings->value(kRememberedPrefix);
    const QByteArray prefix = value.typeId() == QMetaType::QByteArray ? value.toByteArray() : encodePath(value.toString());
    if (prefix.isEmpty())
        return std::nullopt;
    return InstallationSource::fromPrefix(prefix, settings->value(kRememberedLauncher).toString());
}

void saveWindowPlace(QSettings* settings, const QWidget* window)
{
    if (!settings)
        return;
    settings->setValue(kGeometryKey, window->saveGeometry());
    settings->sync();
}

bool restoreWindowPlace(QSettings* settings, QWidget* window)
{
    // The first time the window stands at its design place and size.
    if (!settings)
        return false;
    const QByteArray saved = settings->value(kGeometryKey).toByteArray();
    return !saved.isEmpty() && window->restoreGeometry(saved);
}

void saveColumnWidths(QSettings* settings, const QHeaderView* header)
{
    if (settings)
        settings->setValue(kColumnsKey, header->saveState());
}

void restoreColumnWidths(QSettings* settings, QHeaderView* header)
{
    if (settings && settings->contains(kColumnsKey))
        header->restoreState(settings->value(kColumnsKey).toByteArray());
}

void keepOnScreen(QWidget* window)
{
    const QRect frame = window->frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    if (available.contains(frame))
        return;
    const QSize margins = frame.size() - window->size();
    const QSize size = window->size().boundedTo(available.size() - margins);
    window->resize(size);
    const QRect fitted(frame.topLeft(), size + margins);
    QPoint at = fitted.topLeft();
    at.setX(std::clamp(at.x(), available.left(), available.right() + 1 - fitted.width()));
    at.setY(std::clamp(at.y(), available.top(), available.bottom() + 1 - fitted.height()));
    window->move(at);
}
