#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

struct CodePage {
    std::array<char16_t, 256> toUnicode{};
    std::array<std::int16_t, 0x10000> fromUnicode{};  // -1: not in the code page

    CodePage()
    {
        // Qt's converter fills the table once; decoding and encoding are then
        // plain lookups (the list decodes seven texts for every creature).
        QStringDecoder decoder("windows-1252");
        if (!decoder.isValid()) {
            std::fputs("Lifeledger: this Qt has no Windows-1252 converter; texts cannot be shown.\n", stderr);
            std::abort();
        }
        fromUnicode.fill(-1);
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString one = decoder.decode(QByteArrayView(&byte, 1));
            toUnicode[size_t(b)] = one.size() == 1 ? one.at(0).unicode() : char16_t(b);
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

void appendDecoded(QString& out, const QByteArray& bytes)
{
    const CodePage& t = table();
    const qsizetype at = out.size();
    out.resize(at + bytes.size());
    QChar* d = out.data() + at;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = QChar(t.toUnicode[static_cast<unsigned char>(bytes[i])]);
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
