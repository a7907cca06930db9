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

namespace {

// The record's fields in file order: the one table that the reader, the
// writer and the key's reader all follow. Raw byte arrays (the monikers and
// the two blocks) are copied as they are, byte arrays are counted strings,
// numbers and the flag are 32-bit integers.
template <class Record, class Visitor>
void forEachField(Record& r, Visitor&& v)
{
    v(r.moniker);
    v(r.displayName);
    v(r.parent1Moniker);
    v(r.parent1Name);
    v(r.parent2Moniker);
    v(r.parent2Name);
    v(r.extraString1);
    v(r.extraString2);
    v(r.ownerName);
    v(r.ownerUrl);
    v(r.ownerNotes);
    v(r.ownerEMail);
    v(r.state);
    v(r.gender);
    v(r.extraInteger1);
    v(r.epitaph);
    v(r.gravestoneIndex);
    v(r.deathTime);
    v(r.birthTime);
    v(r.extraInteger2);
    v(r.registered);
    v(r.species);
    v(r.extraInteger3);
    v(r.block256);
    v(r.block36);
}

struct FieldReader {
    RecordReader& in;
    template <size_t N>
    void operator()(std::array<char, N>& raw) { in.readRaw(raw.data(), qsizetype(N)); }
    void operator()(QByteArray& text) { text = in.readCountedString(); }
    void operator()(std::int32_t& number) { number = in.readInt32(); }
    void operator()(bool& flag) { flag = in.readInt32() != 0; }
};

struct FieldWriter {
    QByteArray& out;
    template <size_t N>
    void operator()(const std::array<char, N>& raw) { out.append(raw.data(), qsizetype(N)); }
    void operator()(const QByteArray& text) { writeCountedString(out, text); }
    void operator()(std::int32_t number) { writeInt32(out, number); }
    void operator()(bool flag) { writeInt32(out, flag ? 1 : 0); }
};

// Reads the fields up to the last one wanted and nothing after, texts
// stepped over without a copy: what a fill needs of every record.
struct KeyReader {
    RecordReader& in;
    const void* last;  // the last field wanted
    bool done = false;
    template <size_t N>
    void operator()(std::array<char, N>& raw)
    {
        if (!done)
            in.readRaw(raw.data(), qsizetype(N));
    }
    void operator()(QByteArray&)
    {
        if (!done)
            in.skipCountedString();
    }
    void operator()(std::int32_t& number)
    {
        if (!done)
            number = in.readInt32();
        done = done || &number == last;
    }
    void operator()(bool& flag)
    {
        if (!done)
            flag = in.readInt32() != 0;
        done = done || &flag == last;
    }
};

}  // namespace

RecordKey readRecordKey(QByteArrayView data)
{
    RecordReader in(data);
    HistoryRecord scratch;
    forEachField(scratch, KeyReader{in, &scratch.state});
    return {scratch.moniker, scratch.parent1Moniker, scratch.parent2Moniker, scratch.state};
}

RecordFigures readRecordFigures(QByteArrayView data)
{
    RecordReader in(data);
    HistoryRecord r;
    forEachField(r, KeyReader{in, &r.species});
    return {{r.moniker, r.parent1Moniker, r.parent2Moniker, r.state}, r.gender, r.deathTime, r.birthTime, r.species};
}

void HistoryRecord::loadFromBytes(QByteArrayView data)
{
    RecordReader in(data);
    forEachField(*this, FieldReader{in});
    trailer = in.readRest();
}

QByteArray HistoryRecord::saveToBytes() const
{
    QByteArray out;
    out.reserve(kEmptyRecordBytes + displayName.size() + ownerNotes.size() + epitaph.size() + 64 + trailer.size());
    forEachField(*this, FieldWriter{out});
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
