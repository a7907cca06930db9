// Record texts are bytes in the game's Windows code page (Windows-1252).
// The browser decodes them for display and encodes edited text back. All 256
// byte values map one to one to characters (the five bytes the code page
// leaves undefined become U+0081, U+008D, U+008F, U+0090 and U+009D), so any
// stored text survives a round trip.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

QString decodeText(const QByteArray& bytes);
// nullopt when the text holds a character the code page cannot hold.
std::optional<QByteArray> encodeText(const QString& text);

// The characters the code page cannot hold, in order of appearance, each once.
QString unencodableCharacters(const QString& text);
