// The history record file: one creature's life as the game keeps it in
// "cr_<moniker>".
//
// Encoding (little-endian, packed, no header, no version):
//   moniker        4 raw bytes
//   counted string 0               -> empty
//                  1..254, bytes   -> that many bytes
//                  255, u16 n, n bytes (n may be anything, even < 255 or 0)
//   int32          4 bytes, signed
// Fields follow each other in declaration order below; only Moniker (0) and
// DisplayName (4) have fixed offsets. An all-empty record is 354 bytes.
// The writer always uses the shortest string form, so a record read from a
// canonical file is written back byte for byte.
#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>

inline constexpr qsizetype kMonikerBytes = 4;
inline constexpr qsizetype kBlock256Bytes = 256;
inline constexpr qsizetype kBlock36Bytes = 36;
// The first byte of a counted string that announces a 16-bit length.
inline constexpr int kLongStringMark = 0xFF;
// A record whose ten strings are all empty: three monikers, ten one-byte
// string counts, ten numbers and the two blocks.
inline constexpr qsizetype kEmptyRecordBytes = 3 * kMonikerBytes + 10 + 10 * 4 + kBlock256Bytes + kBlock36Bytes;
static_assert(kEmptyRecordBytes == 354);

using Moniker = std::array<char, kMonikerBytes>;

// The moniker's characters up to, not including, the first zero byte.
QByteArray monikerText(const Moniker& moniker);

// Whether a moniker text can name a file inside its directory: it must not
// hold "/" or "\\", nor be "." or "..". A file name is never built from a
// moniker text that fails this.
bool monikerNamesAFile(const QByteArray& monikerText);

// Reads the record encodings from an in-memory file image. A file that ends
// early is not an error: missing bytes read as zero, a string is cut at the
// end of the data.
class RecordReader {
public:
    explicit RecordReader(QByteArrayView data);

    QByteArray readCountedString();
    // Steps over a counted string without copying it.
    void skipCountedString();
    std::int32_t readInt32();
    void readRaw(char* target, qsizetype size);
    QByteArray readRest();

private:
    qsizetype take(qsizetype wanted);
    qsizetype readCount();

    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
};

// Longest text a counted string can hold; longer texts are cut to this.
inline constexpr qsizetype kMaxCountedString = 0xFFFF;

// The largest record file read. A record's own fields take at most 655,724
// bytes (ten texts of 65,535 bytes with their 3-byte counts, three monikers,
// ten numbers and the two blocks); the rest is room for bytes after the
// record that a later game might write. Anything larger is no record: a
// huge or sparse file is skipped without reading it.
inline constexpr qint64 kMaxRecordFileBytes = 1 << 20;

void writeCountedString(QByteArray& out, const QByteArray& text);
void writeInt32(QByteArray& out, std::int32_t value);

// The fields a fill of the list needs of every record, read from a file
// image without copying any of its texts.
struct RecordKey {
    Moniker moniker{};
    Moniker parent1Moniker{};
    Moniker parent2Moniker{};
    std::int32_t state = 0;
};
RecordKey readRecordKey(QByteArrayView data);

// The figures of a life that a world's statistics count, read like the key.
struct RecordFigures {
    RecordKey key;
    std::int32_t gender = 0;
    std::int32_t deathTime = 0;
    std::int32_t birthTime = 0;
    std::int32_t species = 0;
};
RecordFigures readRecordFigures(QByteArrayView data);

class HistoryRecord {
public:
    Moniker moniker{};
    QByteArray displayName;
    Moniker parent1Moniker{};
    QByteArray parent1Name;
    Moniker parent2Moniker{};
    QByteArray parent2Name;
    QByteArray extraString1;
    QByteArray extraString2;
    QByteArray ownerName;
    QByteArray ownerUrl;
    QByteArray ownerNotes;
    QByteArray ownerEMail;
    std::int32_t state = 0;
    std::int32_t gender = 0;
    std::int32_t extraInteger1 = 0;
    QByteArray epitaph;
    std::int32_t gravestoneIndex = 0;
    std::int32_t deathTime = 0;
    std::int32_t birthTime = 0;
    std::int32_t extraInteger2 = 0;
    bool registered = false;
    std::int32_t species = 0;
    std::int32_t extraInteger3 = 0;
    std::array<char, kBlock256Bytes> block256{};
    std::array<char, kBlock36Bytes> block36{};
    // Whatever follows Block36. The game does not write any, but a later
    // version might; keeping it means an edit never loses it.
    QByteArray trailer;

    // Path of the file the record was loaded from, in the file system's own
    // bytes (the name as the directory listed it); the save writes there.
    QByteArray fileName;

    // Sets FileName, then reads the whole file. Throws FileOpenError when the
    // path cannot be opened as a record (missing, a directory, no rights,
    // larger than kMaxRecordFileBytes); the fields then keep their earlier
    // values. `identity` receives what was read, for a later save.
    void loadFromFile(const QByteArray& path, FileIdentity* identity = nullptr);

    // Writes the record to FileName through ReplaceFile: atomically, never
    // through a link, keeping the old file's owner and mode, refusing a
    // read-only file. With `expected`, refuses (FileChangedError) when the file
    // is no longer the one loaded. Throws FileCreateError.
    void saveToFile(const FileIdentity* expected = nullptr, FileIdentity* written = nullptr) const;

    // The same encodings on an in-memory file image.
    void loadFromBytes(QByteArrayView data);
    QByteArray saveToBytes() const;

    bool operator==(const HistoryRecord&) const = default;
};
