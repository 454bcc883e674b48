#pragma once

#include "DocumentLock.h"

#include <QString>

#include <memory>

class QLockFile;

namespace mb::qt {

/// A lock file per library in a folder of the user's data, named after the library's
/// canonical path, so that the library's own folder stays as it was (it may not even be
/// writable). Instances of the same user see each other's locks; a lock left by a process
/// that died is taken over.
class QtDocumentLock final : public DocumentLock {
public:
    /// The default folder: "locks" in the application's data location.
    QtDocumentLock();
    explicit QtDocumentLock(const QString& folder);
    ~QtDocumentLock() override;

    Outcome acquire(const std::string& path) override;
    void release() override;

    /// The lock file that stands for the library at `path`.
    QString lockPathFor(const std::string& path) const;

private:
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace mb::qt
