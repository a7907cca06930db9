#include "platform/TextCodec.h"

#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80 to 0x9F; the five bytes
// the code page leaves undefined stand for the control characters of the
// same number, as Windows and Wine decode them, so every byte survives a
// round trip.
constexpr char16_t kHighHalf[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct CodePage {
    std::array<char16_t, 256> toUnicode{};
    std::array<std::int16_t, 0x10000> fromUnicode{};  // -1: not in the code page

    CodePage()
    {
        // Decoding and encoding are plain lookups (the list decodes seven
        // texts for every creature).
        fromUnicode.fill(-1);
        for (int b = 0; b < 256; ++b) {
            toUnicode[size_t(b)] = b >= 0x80 && b < 0xA0 ? kHighHalf[b - 0x80] : char16_t(b);
            fromUnicode[toUnicode[size_t(b)]] = static_cast<std::int16_t>(b);
        }
    }
};

const CodePage& table()
{
    static const CodePage table;
    return table;
}

}  // namespace

QString decodeText(const QByteArray& bytes)
{
    const CodePage& t = table();
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = QChar(t.toUnicode[static_cast<unsigned char>(bytes[i])]);
    return out;
}

std::optional<QByteArray> encodeText(const QString& text)
{
    const CodePage& t = table();
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::int16_t b = t.fromUnicode[text.at(i).unicode()];
        if (b < 0)
            return std::nullopt;
        out[i] = static_cast<char>(b);
    }
    return out;
}

QString unencodableCharacters(const QString& text)
{
    const CodePage& t = table();
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair stands for one character; report it whole.
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        if ((n == 2 || t.fromUnicode[text.at(i).unicode()] < 0) && !out.contains(ch))
            out += ch;
        i += n - 1;
    }
    return out;
}
