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

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

using TMoniker = std::array<char, 4>;

// The moniker's characters up to, not including, the first zero byte.
QByteArray MonikerText(const TMoniker& moniker);

// Reads the record encodings from an in-memory file image. A file that ends
// early is not an error: missing bytes read as zero, a string is cut at the
// end of the data.
class TRecordReader {
public:
    explicit TRecordReader(const QByteArray& data);

    QByteArray ReadCountedString();
    std::int32_t ReadInt32();
    void ReadRaw(char* target, qsizetype size);
    QByteArray ReadRest();

private:
    qsizetype Take(qsizetype wanted);

    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
};

// Longest text a counted string can hold; longer texts are cut to this.
inline constexpr qsizetype kMaxCountedString = 0xFFFF;

void WriteCountedString(QByteArray& out, const QByteArray& text);
void WriteInt32(QByteArray& out, std::int32_t value);

class THistoryEntry {
public:
    TMoniker Moniker{};
    QByteArray DisplayName;
    TMoniker Parent1Moniker{};
    QByteArray Parent1Name;
    TMoniker Parent2Moniker{};
    QByteArray Parent2Name;
    QByteArray ExtraString1;
    QByteArray ExtraString2;
    QByteArray OwnerName;
    QByteArray OwnerURL;
    QByteArray OwnerNotes;
    QByteArray OwnerEMail;
    std::int32_t State = 0;
    std::int32_t Gender = 0;
    std::int32_t ExtraInteger1 = 0;
    QByteArray Epitaph;
    std::int32_t GravestoneIndex = 0;
    std::int32_t DeathTime = 0;
    std::int32_t BirthTime = 0;
    std::int32_t ExtraInteger2 = 0;
    bool Registered = false;
    std::int32_t Species = 0;
    std::int32_t ExtraInteger3 = 0;
    std::array<char, 256> Block256{};
    std::array<char, 36> Block36{};
    // Whatever follows Block36. The game does not write any, but a later
    // version might; keeping it means an edit never loses it.
    QByteArray Trailer;

    // Path of the file the record was loaded from; the save writes there.
    QString FileName;

    // Sets FileName, then reads the whole file. Throws EFOpenError when the
    // path cannot be opened as a file (missing, a directory, no rights); the
    // fields then keep their earlier values.
    void LoadFromFile(const QString& path);

    // Writes a complete new file beside FileName and renames it over the old
    // one, so a failure at any point leaves the old file as it was. Refuses
    // to replace a file marked read-only. Throws EFCreateError.
    void SaveToFile() const;

    // The same encodings on an in-memory file image.
    void LoadFromBytes(const QByteArray& data);
    QByteArray SaveToBytes() const;

    bool operator==(const THistoryEntry&) const = default;
};
