// The few file-system questions the scan asks, answered with as little work
// as the system allows: a fill of the list asks them for every creature.
#pragma once

#include <QString>
#include <QStringList>

// Names in `directory` that begin with `prefix`, letter case ignored, in the
// order the system lists them; every kind of entry is admitted. An empty or
// missing directory gives none.
QStringList NamesStartingWith(const QString& directory, const QString& prefix);

// Whether path names a regular file (following links).
bool IsRegularFile(const QString& path);
// The same for a path already in the file system's encoding.
bool IsRegularFile(const QByteArray& encodedPath);
