#include "history/HistoryRecord.h"

#include "common/ByteOrder.h"
#include "common/Exception.h"

#include <algorithm>
#include <cstring>

QByteArray monikerText(const Moniker& moniker)
{
    const auto end = std::find(moniker.begin(), moniker.end(), '\0');
    return QByteArray(moniker.data(), static_cast<qsizetype>(end - moniker.begin()));
}

bool monikerNamesAFile(const QByteArray& text)
{
    return !text.contains('/') && !text.contains('\\') && text != "." && text != "..";
}

// ---------------------------------------------------------------- reading

RecordReader::RecordReader(QByteArrayView data) : data_(data.data()), size_(data.size()) {}

qsizetype RecordReader::take(qsizetype wanted)
{
    const qsizetype got = std::min(wanted, size_ - pos_);
    pos_ += got;
    return got;
}

void RecordReader::readRaw(char* target, qsizetype size)
{
    const char* from = data_ + pos_;
    const qsizetype got = take(size);
    if (got > 0)
        std::memcpy(target, from, static_cast<size_t>(got));
    std::memset(target + got, 0, static_cast<size_t>(size - got));
}

std::int32_t RecordReader::readInt32()
{
    char b[sizeof(std::int32_t)];
    readRaw(b, sizeof b);
    return readLittleEndian<std::int32_t>(b);
}

qsizetype RecordReader::readCount()
{
    char lead = 0;
    readRaw(&lead, 1);
    qsizetype length = static_cast<unsigned char>(lead);
    if (length == kLongStringMark) {
        char b[sizeof(std::uint16_t)];
        readRaw(b, sizeof b);
        length = readLittleEndian<std::uint16_t>(b);
    }
    return length;
}

QByteArray RecordReader::readCountedString()
{
    const qsizetype length = readCount();
    const char* from = data_ + pos_;
    return QByteArray(from, take(length));
}

void RecordReader::skipCountedString()
{
    take(readCount());
}

QByteArray RecordReader::readRest()
{
    const char* from = data_ + pos_;
    return QByteArray(from, take(size_ - pos_));
}

// ---------------------------------------------------------------- writing

void writeCountedString(QByteArray& out, const QByteArray& text)
{
    const qsizetype n = std::min(text.size(), kMaxCountedString);
    if (n < kLongStringMark) {
        out.append(static_cast<char>(n));
    } else {
        out.append(static_cast<char>(kLongStringMark));
        appendLittleEndian(out, static_cast<std::uint16_t>(n));
    }
    out.append(text.constData(), n);
}

void writeInt32(QByteArray& out, std::int32_t value)
{
    appendLittleEndian(out, value);
}

// ---------------------------------------------------------------- the record

RecordKey readRecordKey(QByteArrayView data)
{
    RecordReader in(data);
    RecordKey key;
    in.readRaw(key.moniker.data(), kMonikerBytes);
    in.skipCountedString();  // DisplayName
    in.readRaw(key.parent1Moniker.data(), kMonikerBytes);
    in.skipCountedString();  // Parent1Name
    in.readRaw(key.parent2Moniker.data(), kMonikerBytes);
    for (int text = 0; text < 7; ++text)  // Parent2Name to OwnerEMail
        in.skipCountedString();
    key.state = in.readInt32();
    return key;
}

void HistoryRecord::loadFromBytes(QByteArrayView data)
{
    RecordReader in(data);
    in.readRaw(moniker.data(), kMonikerBytes);
    displayName = in.readCountedString();
    in.readRaw(parent1Moniker.data(), kMonikerBytes);
    parent1Name = in.readCountedString();
    in.readRaw(parent2Moniker.data(), kMonikerBytes);
    parent2Name = in.readCountedString();
    extraString1 = in.readCountedString();
    extraString2 = in.readCountedString();
    ownerName = in.readCountedString();
    ownerUrl = in.readCountedString();
    ownerNotes = in.readCountedString();
    ownerEMail = in.readCountedString();
    state = in.readInt32();
    gender = in.readInt32();
    extraInteger1 = in.readInt32();
    epitaph = in.readCountedString();
    gravestoneIndex = in.readInt32();
    deathTime = in.readInt32();
    birthTime = in.readInt32();
    extraInteger2 = in.readInt32();
    registered = in.readInt32() != 0;
    species = in.readInt32();
    extraInteger3 = in.readInt32();
    in.readRaw(block256.data(), block256.size());
    in.readRaw(block36.data(), block36.size());
    trailer = in.readRest();
}

QByteArray HistoryRecord::saveToBytes() const
{
    QByteArray out;
    out.reserve(kEmptyRecordBytes + displayName.size() + ownerNotes.size() + epitaph.size() + 64 + trailer.size());
    out.append(moniker.data(), kMonikerBytes);
    writeCountedString(out, displayName);
    out.append(parent1Moniker.data(), kMonikerBytes);
    writeCountedString(out, parent1Name);
    out.append(parent2Moniker.data(), kMonikerBytes);
    writeCountedString(out, parent2Name);
    writeCountedString(out, extraString1);
    writeCountedString(out, extraString2);
    writeCountedString(out, ownerName);
    writeCountedString(out, ownerUrl);
    writeCountedString(out, ownerNotes);
    writeCountedString(out, ownerEMail);
    writeInt32(out, state);
    writeInt32(out, gender);
    writeInt32(out, extraInteger1);
    writeCountedString(out, epitaph);
    writeInt32(out, gravestoneIndex);
    writeInt32(out, deathTime);
    writeInt32(out, birthTime);
    writeInt32(out, extraInteger2);
    writeInt32(out, registered ? 1 : 0);
    writeInt32(out, species);
    writeInt32(out, extraInteger3);
    out.append(block256.data(), block256.size());
    out.append(block36.data(), block36.size());
    out.append(trailer);
    return out;
}

void HistoryRecord::loadFromFile(const QByteArray& path, FileIdentity* identity)
{
    fileName = path;
    loadFromBytes(readRegularFile(path, kMaxRecordFileBytes, identity));
}

void HistoryRecord::saveToFile(const FileIdentity* expected, FileIdentity* written) const
{
    replaceFile(fileName, saveToBytes(), expected, written);
}
