#pragma once

#include <string>

namespace mb {

/// Marks a library as open for editing in this instance, so that another instance that
/// opens it can say so.
class DocumentLock {
public:
    virtual ~DocumentLock() = default;

    struct Outcome {
        bool taken = true;
        /// Who holds it when not taken ("process 4711"), as far as that is known.
        std::string holder;
    };

    /// Takes the lock of the library at `path`, giving up the one held before. When a
    /// running instance holds it already, this instance holds none.
    virtual Outcome acquire(const std::string& path) = 0;
    virtual void release() = 0;
};

} // namespace mb
