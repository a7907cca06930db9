// The game's files are little-endian whatever the host is.
#pragma once

#include <QByteArray>
#include <QtEndian>

template <typename T>
void AppendLittleEndian(QByteArray& out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}
