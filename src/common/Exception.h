// Errors in Lifeledger are exceptions that carry a message for the user.
// Every command catches them in one place (the browser's command guard) and
// shows the message; nothing below the browser ever shows anything itself.
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString text, QString more = {})
        : message(std::move(text)), details(std::move(more)), utf8_(message.toUtf8())
    {
    }
    const char* what() const noexcept override { return utf8_.constData(); }

    QString message;
    // What a user may want to read beyond the message (a long list, say);
    // shown on request.
    QString details;

private:
    QByteArray utf8_;
};

// A file could not be opened for reading.
class FileOpenError : public Exception {
public:
    using Exception::Exception;
};

// A file could not be created or replaced.
class FileCreateError : public Exception {
public:
    using Exception::Exception;
};

// A file ended where its format requires more bytes.
class ReadError : public Exception {
public:
    using Exception::Exception;
};
