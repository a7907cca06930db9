#include "platform/WineRegistry.h"

#include <cstring>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads an escaped text from p up to the unescaped terminator; returns the
// position after the terminator, or nullptr when the line ends first.
const char* unescape(const char* p, const char* end, char terminator, QString& out)
{
    out.clear();
    QByteArray plain;  // runs of ordinary bytes, decoded as UTF-8 together
    auto flush = [&] {
        if (!plain.isEmpty()) {
            out += QString::fromUtf8(plain);
            plain.clear();
        }
    };
    while (p < end) {
        const char c = *p++;
        if (c == terminator) {
            flush();
            return p;
        }
        if (c != '\\' || p == end) {
            plain += c;
            continue;
        }
        flush();
        const char e = *p++;
        switch (e) {
        case 'a': out += QChar(7); break;
        case 'b': out += QChar(8); break;
        case 'e': out += QChar(27); break;
        case 'f': out += QChar(12); break;
        case 'n': out += QChar(10); break;
        case 'r': out += QChar(13); break;
        case 't': out += QChar(9); break;
        case 'v': out += QChar(11); break;
        case 'x': {
            char16_t unit = 0;
            int digits = 0;
            while (digits < 4 && p < end && hexDigit(*p) >= 0) {
                unit = static_cast<char16_t>(unit * 16 + hexDigit(*p++));
                ++digits;
            }
            out += digits ? QChar(unit) : QChar(u'x');
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                int value = e - '0';
                for (int digits = 1; digits < 3 && p < end && *p >= '0' && *p <= '7'; ++digits)
                    value = value * 8 + (*p++ - '0');
                out += QChar(static_cast<char16_t>(value));
            } else {
                plain += e;  // \\ and \" and anything else stand for themselves
            }
        }
    }
    flush();
    return nullptr;
}

// "41,00,42,00,00,00,43,00" -> "AB": comma-separated bytes as UTF-16LE, up
// to the first zero character or the first thing that is not a byte.
QString utf16FromHex(const char* p, const char* end)
{
    QString out;
    int low = -1;
    while (p < end) {
        while (p < end && (*p == ',' || *p == ' ' || *p == '\t'))
            ++p;
        if (end - p < 2 || hexDigit(p[0]) < 0 || hexDigit(p[1]) < 0)
            break;
        const int byte = hexDigit(p[0]) * 16 + hexDigit(p[1]);
        p += 2;
        if (low < 0) {
            low = byte;
            continue;
        }
        const char16_t unit = static_cast<char16_t>(low | byte << 8);
        low = -1;
        if (unit == 0)
            break;
        out += QChar(unit);
    }
    return out;
}

bool startsWith(const char* p, const char* end, const char* prefix)
{
    const size_t n = std::strlen(prefix);
    return static_cast<size_t>(end - p) >= n && std::memcmp(p, prefix, n) == 0;
}

// Parses one value line; false when it is not one.
bool parseValue(const char* p, const char* end, QString& name, RegistryValue& value)
{
    if (*p == '@') {
        name.clear();
        ++p;
    } else if (*p == '"') {
        p = unescape(p + 1, end, '"', name);
        if (!p)
            return false;
    } else {
        return false;
    }
    if (p == end || *p++ != '=')
        return false;
    value = RegistryValue();
    if (p < end && *p == '"') {
        value.kind = RegistryValue::String;
        return unescape(p + 1, end, '"', value.text) != nullptr;
    }
    if (startsWith(p, end, "str(")) {
        const char* close = static_cast<const char*>(std::memchr(p, ')', static_cast<size_t>(end - p)));
        if (!close || close + 2 >= end || close[1] != ':' || close[2] != '"')
            return false;
        const QByteArray type(p + 4, close - p - 4);
        // 1 is a plain string, 2 an expandable one (read, never expanded);
        // anything else (multi-strings and so on) is not a string.
        if (type == "1" || type == "2") {
            value.kind = RegistryValue::String;
            return unescape(close + 3, end, '"', value.text) != nullptr;
        }
        return true;
    }
    // hex(1) and hex(2) are how Wine writes a string (plain or expandable)
    // that lacks its terminating zero: UTF-16LE bytes, read up to the first
    // zero character. Every other hex type is not a string.
    if (startsWith(p, end, "hex(")) {
        const char* close = static_cast<const char*>(std::memchr(p, ')', static_cast<size_t>(end - p)));
        if (!close || close + 1 >= end || close[1] != ':')
            return false;
        const QByteArray type(p + 4, close - p - 4);
        if (type == "1" || type == "2") {
            value.kind = RegistryValue::String;
            value.text = utf16FromHex(close + 2, end);
        }
    }
    return true;
}

}  // namespace

namespace {

// Moves p past the line it is on; returns where that line's text ends
// (before the line feed and any trailing carriage return or blanks).
const char* nextLine(const char*& p, const char* end)
{
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* lineEnd = nl ? nl : end;
    const char* start = p;
    p = nl ? nl + 1 : end;
    while (lineEnd > start && (lineEnd[-1] == '\r' || lineEnd[-1] == ' ' || lineEnd[-1] == '\t'))
        --lineEnd;
    return lineEnd;
}

// A wanted key as Wine writes it for plain ASCII names: backslashes doubled.
QByteArray escapedKey(const QString& key)
{
    QByteArray out;
    for (QChar ch : key) {
        if (ch.unicode() >= 0x80)
            return {};  // compared only after unescaping
        out += ch == QLatin1Char('\\') ? QByteArray("\\\\") : QByteArray(1, static_cast<char>(ch.unicode()));
    }
    return out;
}

}  // namespace

namespace {

// A key's values, read from `p` up to the next key line (which `p` is left
// at). A value goes on over lines that end in a backslash (Wine indents
// those that follow).
void readValues(const char*& p, const char* end, RegistryKey& key)
{
    QString valueName;
    RegistryValue value;
    QByteArray joined;
    while (p < end && *p != '[') {
        const char* lineStart = p;
        const char* lineEnd = nextLine(p, end);
        if (lineEnd > lineStart && lineEnd[-1] == '\\') {
            joined = QByteArray(lineStart, lineEnd - 1 - lineStart);
            while (p < end && *p != '[') {
                const char* part = p;
                const char* partEnd = nextLine(p, end);
                while (part < partEnd && (*part == ' ' || *part == '\t'))
                    ++part;
                const bool more = partEnd > part && partEnd[-1] == '\\';
                joined.append(part, (more ? partEnd - 1 : partEnd) - part);
                if (!more)
                    break;
            }
            if (!joined.isEmpty() && parseValue(joined.constData(), joined.constData() + joined.size(), valueName, value))
                key.insert(valueName.toLower(), value);
        } else if (lineStart != lineEnd && parseValue(lineStart, lineEnd, valueName, value)) {
            key.insert(valueName.toLower(), value);
        }
    }
}

// Which of the wanted keys a key line opens. Wine escapes only
// backslashes, control characters and characters outside ASCII in key
// names, so a plain ASCII key is found by comparing raw bytes; any other
// key is compared after decoding each key line.
class KeyMatcher {
public:
    KeyMatcher(const QStringList& keyPaths, const char* end) : keyPaths_(keyPaths), end_(end)
    {
        for (const QString& key : keyPaths) {
            escaped_.push_back(escapedKey(key));
            decodeAll_ = decodeAll_ || escaped_.back().isEmpty();
        }
    }

    const char* lineEndFrom(const char* from) const
    {
        const char* nl = static_cast<const char*>(std::memchr(from, '\n', static_cast<size_t>(end_ - from)));
        return nl ? nl : end_;
    }

    // The wanted key a key line (at its '[') opens, or -1. Most key lines
    // are not wanted: the raw comparison needs no search for the line's end
    // (a wanted name holds no line break, so a match never runs past it).
    qsizetype match(const char* line)
    {
        const char* name = line + 1;
        for (size_t i = 0; i < escaped_.size(); ++i) {
            const qsizetype n = escaped_[i].size();
            if (n && end_ - name > n && name[n] == ']' && qstrnicmp(name, escaped_[i].constData(), size_t(n)) == 0)
                return qsizetype(i);
        }
        if (!decodeAll_ || !unescape(name, lineEndFrom(name), ']', keyName_))
            return -1;
        for (qsizetype i = 0; i < keyPaths_.size(); ++i)
            if (keyName_.compare(keyPaths_[i], Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }

private:
    const QStringList& keyPaths_;
    const char* end_;
    std::vector<QByteArray> escaped_;
    bool decodeAll_ = false;
    QString keyName_;
};

}  // namespace

std::vector<std::optional<RegistryKey>> readRegistryKeys(QByteArrayView text, const QStringList& keyPaths)
{
    std::vector<std::optional<RegistryKey>> found(size_t(keyPaths.size()));
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    KeyMatcher matcher(keyPaths, end);
    const char* p = begin;
    while (p < end) {
        // Key lines start a line with '['; nothing else can (strings escape
        // their line breaks, continuation lines are indented).
        const char* bracket = static_cast<const char*>(std::memchr(p, '[', static_cast<size_t>(end - p)));
        if (!bracket)
            break;
        const qsizetype which = bracket == begin || bracket[-1] == '\n' ? matcher.match(bracket) : -1;
        if (which < 0) {
            p = bracket + 1;
            continue;
        }
        const char* lineEnd = matcher.lineEndFrom(bracket);
        p = lineEnd < end ? lineEnd + 1 : end;
        readValues(p, end, found[size_t(which)].emplace());
    }
    return found;
}

QString registryString(const RegistryKey& key, const QString& name)
{
    const auto it = key.constFind(name.toLower());
    return it != key.cend() && it->kind == RegistryValue::String ? it->text : QString();
}
