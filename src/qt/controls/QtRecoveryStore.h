#pragma once

#include "RecoveryStore.h"

#include <QString>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

class QLockFile;

namespace mb::qt {

/// Recovery copies as files in a folder of the user's data, one per running instance,
/// each beside a lock file that the instance holds while it runs. A copy whose lock no
/// running process holds was left behind. Copies are written on a worker thread of
/// their own, started by the first one.
class QtRecoveryStore final : public RecoveryStore {
public:
    /// The default folder: "recovery" in the application's data location.
    QtRecoveryStore();
    explicit QtRecoveryStore(const QString& folder);
    /// Finishes a write still waiting, and leaves this instance's copy where it is: the
    /// program may be ending because a save failed.
    ~QtRecoveryStore() override;

    std::string location() const override;
    std::optional<std::string> writeNow(const std::string& header, std::string_view body,
                                        std::string& reason) override;
    void writeLater(std::string header, std::shared_ptr<const LargeText> body,
                    CopyWanted wanted) override;
    void discard() override;
    std::vector<LeftRecoveryCopy> claimLeftCopies() override;
    void remove(const std::string& id) override;
    void release(const std::string& id) override;

    /// This instance's copy, whether or not it exists.
    QString copyPath() const;

private:
    struct Job {
        std::string header;
        std::shared_ptr<const LargeText> body;
        CopyWanted wanted;
    };
    void run();
    /// Takes this instance's lock on first use; false when the folder is not usable. Only
    /// while this thread has made the store busy.
    bool ownLock(std::string& reason);
    bool writeCopy(std::string_view header, std::string_view body, std::string& reason);
    QString pathOf(const QString& id, const char* suffix) const;

    QString folder_;
    QString id_;
    std::unique_ptr<QLockFile> ownLock_;
    std::map<std::string, std::unique_ptr<QLockFile>> claimed_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::unique_ptr<Job> pending_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace mb::qt
