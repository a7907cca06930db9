// Small helpers that several test suites share.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <stdexcept>
#include <string>

// The whole content of a file, or "<unreadable>".
inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The same for a path in the file system's bytes.
inline QByteArray readAll(const QByteArray& path)
{
    return readAll(QFile::decodeName(path));
}

#ifdef QT_WIDGETS_LIB  // for the suites that drive windows

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

// A window's control by its object name; fails the test when it is missing.
template <typename T>
T* child(const QWidget* window, const char* name)
{
    T* child = window->findChild<T*>(QLatin1String(name));
    if (!child)
        throw std::runtime_error(std::string("no control named ") + name);
    return child;
}

// Presses a message box's default button (its first, when it has none), as a
// user pressing Enter would.
inline void pressDefault(QMessageBox* box)
{
    QAbstractButton* button = box->defaultButton();
    if (!button)
        button = box->buttons().value(0);
    if (button)
        button->click();
}

#endif
