// Replacing a file so that a failure at any point, even the death of the
// process, leaves either the complete old file or the complete new one:
// the bytes go to a new file beside the target, are flushed to the disk,
// and the new file is renamed over the old one in a single step.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

enum class TWriteStep { Create, Write, Flush, Rename, Done };

// A test seam: called before each step (Write once per chunk, with its
// number; Done after the rename); returning false makes that step fail as a
// full disk would.
using TWriteFault = std::function<bool(TWriteStep step, int chunk)>;
void SetWriteFaultForTesting(TWriteFault fault);

// Size of one write; a record is usually a single chunk.
inline constexpr qsizetype kWriteChunk = 64 * 1024;

// Writes bytes to path atomically; a symbolic link is written through to
// its target. On failure returns false with the reason, having removed its
// temporary file.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* reason);
