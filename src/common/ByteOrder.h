// The game's files are little-endian whatever the host is. Readers and
// writers of fixed-size values are a symmetric pair.
#pragma once

#include <QByteArray>
#include <QtEndian>

template <typename T>
void appendLittleEndian(QByteArray& out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

// The value stored in the sizeof(T) bytes at `from` (no alignment needed).
template <typename T>
T readLittleEndian(const void* from)
{
    return qFromLittleEndian<T>(from);
}
