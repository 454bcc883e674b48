#include "QtDocumentLock.h"

#include "UserFolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

namespace mb::qt {

QtDocumentLock::QtDocumentLock() : QtDocumentLock(writableUserFolder(UserFolder::AppData)) {
    if (!folder_.isEmpty()) folder_ += QStringLiteral("/locks");
}

QtDocumentLock::QtDocumentLock(const QString& folder) : folder_(folder) {}

QtDocumentLock::~QtDocumentLock() = default;

QString QtDocumentLock::lockPathFor(const std::string& path) const {
    const QFileInfo info(QFile::decodeName(path.c_str()));
    // The same file reached through a link or a relative path has the same lock.
    QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty()) canonical = info.absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha1);
    return folder_ + QLatin1Char('/') + QString::fromLatin1(hash.toHex()) + QStringLiteral(".lock");
}

DocumentLock::Outcome QtDocumentLock::acquire(const std::string& path) {
    release();
    Outcome outcome;
    // Without a folder for the locks, nothing can be said about other instances.
    if (folder_.isEmpty() || !QDir().mkpath(folder_)) return outcome;
    auto lock = std::make_unique<QLockFile>(lockPathFor(path));
    // Held for as long as the library is open: only a dead owner makes it stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        return outcome;
    }
    if (lock->error() != QLockFile::LockFailedError) return outcome;
    outcome.taken = false;
    qint64 pid = 0;
    QString host, application;
    if (lock->getLockInfo(&pid, &host, &application)) {
        outcome.holder = "process " + std::to_string(pid);
        if (!host.isEmpty() && host != QSysInfo::machineHostName())
            outcome.holder += " on " + host.toStdString();
    }
    return outcome;
}

void QtDocumentLock::release() {
    lock_.reset();
}

} // namespace mb::qt
