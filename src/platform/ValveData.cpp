#include "platform/ValveData.h"

namespace {

class ValveReader {
public:
    explicit ValveReader(QByteArrayView text) : p_(text.data()), end_(text.data() + text.size()) {}

    // The nodes up to the end of the text or of the enclosing block; depth
    // is bounded so that a hostile file cannot exhaust the stack.
    std::vector<ValveNode> readNodes(int depth)
    {
        std::vector<ValveNode> nodes;
        while (true) {
            QString key;
            if (next(key) != tText)
                return nodes;  // a closing brace, the end, or a stray opening brace
            ValveNode node;
            node.key = key;
            QString value;
            const Token after = next(value);
            if (after == tText) {
                node.value = value;
            } else if (after == tOpen && depth < kMaxDepth) {
                node.isBlock = true;
                node.children = readNodes(depth + 1);
            } else {
                nodes.push_back(std::move(node));
                return nodes;
            }
            nodes.push_back(std::move(node));
        }
    }

private:
    static constexpr int kMaxDepth = 64;
    enum Token { tText, tOpen, tClose, tEnd };

    void skipSpaceAndComments()
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
    Token next(QString& text)
    {
        skipSpaceAndComments();
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

bool isNumber(const QString& key)
{
    if (key.isEmpty())
        return false;
    for (QChar c : key)
        if (!c.isDigit())
            return false;
    return true;
}

}  // namespace

std::vector<ValveNode> readValveData(QByteArrayView text)
{
    return ValveReader(text).readNodes(0);
}

QStringList steamLibraryFolders(QByteArrayView text)
{
    QStringList folders;
    for (const ValveNode& root : readValveData(text)) {
        if (!root.isBlock || root.key.compare(QLatin1String("libraryfolders"), Qt::CaseInsensitive) != 0)
            continue;
        for (const ValveNode& library : root.children) {
            if (!isNumber(library.key))
                continue;
            if (!library.isBlock) {
                folders << library.value;  // the older form: "1" "/path"
                continue;
            }
            for (const ValveNode& field : library.children)
                if (!field.isBlock && field.key.compare(QLatin1String("path"), Qt::CaseInsensitive) == 0)
                    folders << field.value;
        }
    }
    return folders;
}
