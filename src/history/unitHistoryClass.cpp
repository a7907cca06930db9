#include "history/unitHistoryClass.h"

#include "common/ByteOrder.h"
#include "common/Exception.h"

#include <algorithm>
#include <cstring>

QByteArray MonikerText(const TMoniker& moniker)
{
    const auto end = std::find(moniker.begin(), moniker.end(), '\0');
    return QByteArray(moniker.data(), static_cast<qsizetype>(end - moniker.begin()));
}

bool MonikerNamesAFile(const QByteArray& text)
{
    return !text.contains('/') && !text.contains('\\') && text != "." && text != "..";
}

// ---------------------------------------------------------------- reading

TRecordReader::TRecordReader(QByteArrayView data) : data_(data.data()), size_(data.size()) {}

qsizetype TRecordReader::Take(qsizetype wanted)
{
    const qsizetype got = std::min(wanted, size_ - pos_);
    pos_ += got;
    return got;
}

void TRecordReader::ReadRaw(char* target, qsizetype size)
{
    const char* from = data_ + pos_;
    const qsizetype got = Take(size);
    if (got > 0)
        std::memcpy(target, from, static_cast<size_t>(got));
    std::memset(target + got, 0, static_cast<size_t>(size - got));
}

std::int32_t TRecordReader::ReadInt32()
{
    char b[sizeof(std::int32_t)];
    ReadRaw(b, sizeof b);
    return ReadLittleEndian<std::int32_t>(b);
}

qsizetype TRecordReader::ReadCount()
{
    char lead = 0;
    ReadRaw(&lead, 1);
    qsizetype length = static_cast<unsigned char>(lead);
    if (length == kLongStringMark) {
        char b[sizeof(std::uint16_t)];
        ReadRaw(b, sizeof b);
        length = ReadLittleEndian<std::uint16_t>(b);
    }
    return length;
}

QByteArray TRecordReader::ReadCountedString()
{
    const qsizetype length = ReadCount();
    const char* from = data_ + pos_;
    return QByteArray(from, Take(length));
}

void TRecordReader::SkipCountedString()
{
    Take(ReadCount());
}

QByteArray TRecordReader::ReadRest()
{
    const char* from = data_ + pos_;
    return QByteArray(from, Take(size_ - pos_));
}

// ---------------------------------------------------------------- writing

void WriteCountedString(QByteArray& out, const QByteArray& text)
{
    const qsizetype n = std::min(text.size(), kMaxCountedString);
    if (n < kLongStringMark) {
        out.append(static_cast<char>(n));
    } else {
        out.append(static_cast<char>(kLongStringMark));
        AppendLittleEndian(out, static_cast<std::uint16_t>(n));
    }
    out.append(text.constData(), n);
}

void WriteInt32(QByteArray& out, std::int32_t value)
{
    AppendLittleEndian(out, value);
}

// ---------------------------------------------------------------- the record

TRecordKey ReadRecordKey(QByteArrayView data)
{
    TRecordReader in(data);
    TRecordKey key;
    in.ReadRaw(key.Moniker.data(), kMonikerBytes);
    in.SkipCountedString();  // DisplayName
    in.ReadRaw(key.Parent1Moniker.data(), kMonikerBytes);
    in.SkipCountedString();  // Parent1Name
    in.ReadRaw(key.Parent2Moniker.data(), kMonikerBytes);
    for (int text = 0; text < 7; ++text)  // Parent2Name to OwnerEMail
        in.SkipCountedString();
    key.State = in.ReadInt32();
    return key;
}

void THistoryEntry::LoadFromBytes(QByteArrayView data)
{
    TRecordReader in(data);
    in.ReadRaw(Moniker.data(), kMonikerBytes);
    DisplayName = in.ReadCountedString();
    in.ReadRaw(Parent1Moniker.data(), kMonikerBytes);
    Parent1Name = in.ReadCountedString();
    in.ReadRaw(Parent2Moniker.data(), kMonikerBytes);
    Parent2Name = in.ReadCountedString();
    ExtraString1 = in.ReadCountedString();
    ExtraString2 = in.ReadCountedString();
    OwnerName = in.ReadCountedString();
    OwnerURL = in.ReadCountedString();
    OwnerNotes = in.ReadCountedString();
    OwnerEMail = in.ReadCountedString();
    State = in.ReadInt32();
    Gender = in.ReadInt32();
    ExtraInteger1 = in.ReadInt32();
    Epitaph = in.ReadCountedString();
    GravestoneIndex = in.ReadInt32();
    DeathTime = in.ReadInt32();
    BirthTime = in.ReadInt32();
    ExtraInteger2 = in.ReadInt32();
    Registered = in.ReadInt32() != 0;
    Species = in.ReadInt32();
    ExtraInteger3 = in.ReadInt32();
    in.ReadRaw(Block256.data(), Block256.size());
    in.ReadRaw(Block36.data(), Block36.size());
    Trailer = in.ReadRest();
}

QByteArray THistoryEntry::SaveToBytes() const
{
    QByteArray out;
    out.reserve(kEmptyRecordBytes + DisplayName.size() + OwnerNotes.size() + Epitaph.size() + 64 + Trailer.size());
    out.append(Moniker.data(), kMonikerBytes);
    WriteCountedString(out, DisplayName);
    out.append(Parent1Moniker.data(), kMonikerBytes);
    WriteCountedString(out, Parent1Name);
    out.append(Parent2Moniker.data(), kMonikerBytes);
    WriteCountedString(out, Parent2Name);
    WriteCountedString(out, ExtraString1);
    WriteCountedString(out, ExtraString2);
    WriteCountedString(out, OwnerName);
    WriteCountedString(out, OwnerURL);
    WriteCountedString(out, OwnerNotes);
    WriteCountedString(out, OwnerEMail);
    WriteInt32(out, State);
    WriteInt32(out, Gender);
    WriteInt32(out, ExtraInteger1);
    WriteCountedString(out, Epitaph);
    WriteInt32(out, GravestoneIndex);
    WriteInt32(out, DeathTime);
    WriteInt32(out, BirthTime);
    WriteInt32(out, ExtraInteger2);
    WriteInt32(out, Registered ? 1 : 0);
    WriteInt32(out, Species);
    WriteInt32(out, ExtraInteger3);
    out.append(Block256.data(), Block256.size());
    out.append(Block36.data(), Block36.size());
    out.append(Trailer);
    return out;
}

void THistoryEntry::LoadFromFile(const QByteArray& path, TFileIdentity* identity)
{
    FileName = path;
    LoadFromBytes(ReadRegularFile(path, kMaxRecordFileBytes, identity));
}

void THistoryEntry::SaveToFile(const TFileIdentity* expected, TFileIdentity* written) const
{
    ReplaceFile(FileName, SaveToBytes(), expected, written);
}
