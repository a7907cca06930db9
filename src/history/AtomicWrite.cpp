#include "AtomicWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <unistd.h>

namespace {

TWriteFault& Fault()
{
    static TWriteFault fault;
    return fault;
}

bool Allowed(TWriteStep step, int chunk = 0)
{
    return !Fault() || Fault()(step, chunk);
}

}  // namespace

void SetWriteFaultForTesting(TWriteFault fault)
{
    Fault() = std::move(fault);
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* reason)
{
    const QFileInfo info(path);
    // Replace the link's target, not the link.
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;

    // A hidden name that no scan for "cr_*" can mistake for a record, should
    // the process die before the rename.
    const QFileInfo targetInfo(target);
    QTemporaryFile temp(targetInfo.path() + QStringLiteral("/.lifeledger-") + targetInfo.fileName()
                        + QStringLiteral("-XXXXXX"));
    if (!Allowed(TWriteStep::Create) || !temp.open()) {
        *reason = temp.errorString().isEmpty() ? QStringLiteral("The new file cannot be created.") : temp.errorString();
        return false;
    }
    auto fail = [&](const QString& why) {
        *reason = why;
        return false;  // QTemporaryFile removes the new file
    };
    int chunk = 0;
    for (qsizetype at = 0; at < bytes.size(); at += kWriteChunk, ++chunk) {
        const qsizetype n = std::min(kWriteChunk, bytes.size() - at);
        if (!Allowed(TWriteStep::Write, chunk) || temp.write(bytes.constData() + at, n) != n)
            return fail(QStringLiteral("Not all of the record could be written (is the disk full?)."));
    }
    if (!Allowed(TWriteStep::Flush) || !temp.flush() || ::fsync(temp.handle()) != 0)
        return fail(QStringLiteral("The record could not be written to the disk."));
    if (info.exists())
        temp.setPermissions(QFileInfo(target).permissions());

    std::error_code error;
    if (Allowed(TWriteStep::Rename))
        std::filesystem::rename(QFile::encodeName(temp.fileName()).toStdString(),
                                QFile::encodeName(target).toStdString(), error);
    else
        error = std::make_error_code(std::errc::io_error);
    if (error)
        return fail(QString::fromLocal8Bit(error.message().c_str()));
    temp.setAutoRemove(false);  // it is the file now
    Allowed(TWriteStep::Done);
    return true;
}
