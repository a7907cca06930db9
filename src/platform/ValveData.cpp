#include "platform/ValveData.h"

namespace {

class TValveReader {
public:
    explicit TValveReader(QByteArrayView text) : p_(text.data()), end_(text.data() + text.size()) {}

    // The nodes up to the end of the text or of the enclosing block; depth
    // is bounded so that a hostile file cannot exhaust the stack.
    std::vector<TValveNode> ReadNodes(int depth)
    {
        std::vector<TValveNode> nodes;
        while (true) {
            QString key;
            if (Next(key) != tText)
                return nodes;  // a closing brace, the end, or a stray opening brace
            TValveNode node;
            node.Key = key;
            QString value;
            const TToken after = Next(value);
            if (after == tText) {
                node.Value = value;
            } else if (after == tOpen && depth < kMaxDepth) {
                node.IsBlock = true;
                node.Children = ReadNodes(depth + 1);
            } else {
                nodes.push_back(std::move(node));
                return nodes;
            }
            nodes.push_back(std::move(node));
        }
    }

private:
    static constexpr int kMaxDepth = 64;
    enum TToken { tText, tOpen, tClose, tEnd };

    void SkipSpaceAndComments()
    {
        while (p_ < end_) {
            if (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n') {
                ++p_;
            } else if (*p_ == '/' && p_ + 1 < end_ && p_[1] == '/') {
                while (p_ < end_ && *p_ != '\n')
                    ++p_;
            } else {
                break;
            }
        }
    }

    // The next token; a text goes into `text`.
    TToken Next(QString& text)
    {
        SkipSpaceAndComments();
        if (p_ >= end_)
            return tEnd;
        if (*p_ == '{' || *p_ == '}')
            return *p_++ == '{' ? tOpen : tClose;
        QByteArray bytes;
        if (*p_ == '"') {
            ++p_;
            while (p_ < end_ && *p_ != '"') {
                if (*p_ == '\\' && p_ + 1 < end_) {
                    ++p_;
                    bytes += *p_ == 'n' ? '\n' : *p_ == 't' ? '\t' : *p_;
                } else {
                    bytes += *p_;
                }
                ++p_;
            }
            if (p_ < end_)
                ++p_;  // the closing quote
        } else {
            while (p_ < end_ && *p_ != ' ' && *p_ != '\t' && *p_ != '\r' && *p_ != '\n' && *p_ != '{' && *p_ != '}'
                   && *p_ != '"')
                bytes += *p_++;
        }
        text = QString::fromUtf8(bytes);
        return tText;
    }

    const char* p_;
    const char* end_;
};

bool IsNumber(const QString& key)
{
    if (key.isEmpty())
        return false;
    for (QChar c : key)
        if (!c.isDigit())
            return false;
    return true;
}

}  // namespace

std::vector<TValveNode> ReadValveData(QByteArrayView text)
{
    return TValveReader(text).ReadNodes(0);
}

QStringList SteamLibraryFolders(QByteArrayView text)
{
    QStringList folders;
    for (const TValveNode& root : ReadValveData(text)) {
        if (!root.IsBlock || root.Key.compare(QLatin1String("libraryfolders"), Qt::CaseInsensitive) != 0)
            continue;
        for (const TValveNode& library : root.Children) {
            if (!IsNumber(library.Key))
                continue;
            if (!library.IsBlock) {
                folders << library.Value;  // the older form: "1" "/path"
                continue;
            }
            for (const TValveNode& field : library.Children)
                if (!field.IsBlock && field.Key.compare(QLatin1String("path"), Qt::CaseInsensitive) == 0)
                    folders << field.Value;
        }
    }
    return folders;
}
