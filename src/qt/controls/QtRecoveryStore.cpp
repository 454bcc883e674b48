#include "QtRecoveryStore.h"

#include "UserFolders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include <algorithm>

namespace mb::qt {

namespace {

constexpr const char* kCopySuffix = ".copy";
constexpr const char* kLockSuffix = ".lock";

std::string Local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

QtRecoveryStore::QtRecoveryStore() : QtRecoveryStore(writableUserFolder(UserFolder::AppData)) {
    if (!folder_.isEmpty()) folder_ += QStringLiteral("/recovery");
}

QtRecoveryStore::QtRecoveryStore(const QString& folder)
    : folder_(folder), id_(QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
                           QString::number(QRandomGenerator::global()->generate64(), 16)) {}

QtRecoveryStore::~QtRecoveryStore() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

std::string QtRecoveryStore::location() const {
    if (folder_.isEmpty()) return "the user's data folder";
    return Local(QDir::toNativeSeparators(folder_));
}

QString QtRecoveryStore::pathOf(const QString& id, const char* suffix) const {
    return folder_ + QLatin1Char('/') + id + QLatin1String(suffix);
}

QString QtRecoveryStore::copyPath() const {
    return pathOf(id_, kCopySuffix);
}

bool QtRecoveryStore::ownLock(std::string& reason) {
    if (ownLock_) return true;
    if (folder_.isEmpty()) {
        reason = kNoHomeReason;
        return false;
    }
    if (!QDir().mkpath(folder_)) {
        reason = "the folder cannot be made.";
        return false;
    }
    auto lock = std::make_unique<QLockFile>(pathOf(id_, kLockSuffix));
    // Held for as long as this instance runs: only a dead owner makes it stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        reason = "its lock file cannot be made.";
        return false;
    }
    ownLock_ = std::move(lock);
    return true;
}

bool QtRecoveryStore::writeCopy(std::string_view header, std::string_view body,
                                std::string& reason) {
    // Written beside and renamed into place: an older copy survives a failed write.
    QSaveFile file(copyPath());
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString().toStdString();
        return false;
    }
    // A short write (a full disk, a file-size limit) must not be committed as a copy that
    // looks whole: it would be offered and open as a library that lost its end.
    const auto writeAll = [&file](std::string_view text) {
        return file.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size());
    };
    if (!writeAll(header) || !writeAll(body) || !file.flush()) {
        reason = file.error() == QFileDevice::NoError
                     ? std::string("it could not be written in full (the disk may be full).")
                     : file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        reason = file.errorString().toStdString();
        return false;
    }
    return true;
}

void QtRecoveryStore::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || (pending_ && !busy_); });
        if (pending_ && !busy_) {
            std::unique_ptr<Job> job = std::move(pending_);
            busy_ = true;
            lock.unlock();
            std::string reason;
            // The lock is taken here too, as making its file waits for the disk. A failed
            // write leaves the previous copy; the next edit's copy tries again.
            if (ownLock(reason)) {
                if (!job->wanted || job->wanted(*job->body))
                    writeCopy(job->header, *job->body, reason);
                else
                    QFile::remove(copyPath());
            }
            // The text is as large as the library's file; it is let go here, to whoever
            // lent its memory or back to the system, so between copies it costs nothing.
            job.reset();
            lock.lock();
            busy_ = false;
            changed_.notify_all();
            continue;
        }
        if (stopping_) return;
    }
}

std::optional<std::string> QtRecoveryStore::writeNow(const std::string& header,
                                                     std::string_view body, std::string& reason) {
    std::unique_lock lock(mutex_);
    pending_.reset();
    changed_.wait(lock, [this] { return !busy_; });
    busy_ = true;
    lock.unlock();
    const bool written = ownLock(reason) && writeCopy(header, body, reason);
    lock.lock();
    busy_ = false;
    changed_.notify_all();
    if (!written) return std::nullopt;
    return Local(QDir::toNativeSeparators(copyPath()));
}

void QtRecoveryStore::writeLater(std::string header, std::shared_ptr<const LargeText> body,
                                 CopyWanted wanted) {
    // Started on first use: most runs never need it.
    if (!worker_.joinable()) worker_ = std::thread([this] { run(); });
    {
        std::lock_guard lock(mutex_);
        pending_ =
            std::make_unique<Job>(Job{std::move(header), std::move(body), std::move(wanted)});
    }
    changed_.notify_all();
}

void QtRecoveryStore::discard() {
    std::unique_lock lock(mutex_);
    pending_.reset();
    changed_.wait(lock, [this] { return !busy_; });
    if (ownLock_) QFile::remove(copyPath());
    ownLock_.reset();
}

std::vector<LeftRecoveryCopy> QtRecoveryStore::claimLeftCopies() {
    if (folder_.isEmpty()) return {};
    QDir dir(folder_);
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*") + QLatin1String(kCopySuffix)}, QDir::Files,
                          QDir::Time | QDir::Reversed);
    std::vector<LeftRecoveryCopy> copies;
    for (const QFileInfo& info : files) {
        const QString id = info.completeBaseName();
        if (id == id_ || claimed_.count(id.toStdString())) continue;
        auto lock = std::make_unique<QLockFile>(pathOf(id, kLockSuffix));
        lock->setStaleLockTime(0);
        // A running instance holds its own: its copy is not left behind.
        if (!lock->tryLock(0)) continue;
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly)) continue; // removed by its owner meanwhile
        const QByteArray bytes = file.readAll();
        LeftRecoveryCopy copy;
        copy.id = id.toStdString();
        copy.content.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        copy.time =
            QLocale::system().toString(info.lastModified(), QLocale::ShortFormat).toStdString();
        claimed_[copy.id] = std::move(lock);
        copies.push_back(std::move(copy));
    }
    return copies;
}

void QtRecoveryStore::remove(const std::string& id) {
    const auto it = claimed_.find(id);
    if (it == claimed_.end()) return;
    QFile::remove(pathOf(QString::fromStdString(id), kCopySuffix));
    claimed_.erase(it);
}

void QtRecoveryStore::release(const std::string& id) {
    claimed_.erase(id);
}

} // namespace mb::qt
