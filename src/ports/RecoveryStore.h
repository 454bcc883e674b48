#pragma once

#include "LargePages.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// A copy that an instance of the program left behind and no running instance owns: the
/// program ended before the library it held was saved or closed.
struct LeftRecoveryCopy {
    std::string id;      ///< names the copy for `remove` and `release`
    std::string content; ///< the bytes written, header and library text
    std::string time;    ///< when it was written, in the user's own format
};

/// Where copies of libraries with unsaved edits are kept between runs: a folder of the
/// user's data. Each running instance owns one copy at most and never touches another
/// running instance's.
class RecoveryStore {
public:
    virtual ~RecoveryStore() = default;

    /// The folder the copies go to, as the user may look for it.
    virtual std::string location() const = 0;

    /// Replaces this instance's copy now, once any write in progress is over. The path
    /// written, or nullopt with `reason` set.
    virtual std::optional<std::string> writeNow(const std::string& header, std::string_view body,
                                                std::string& reason) = 0;
    /// Asked on the worker whether a text is worth keeping as the copy.
    using CopyWanted = std::function<bool(std::string_view body)>;
    /// Replaces this instance's copy on a worker thread; where `wanted` (when given)
    /// refuses the text, the copy is removed instead. A later call (or `writeNow`,
    /// `discard`) supersedes a write that has not started yet. `body` is not changed
    /// after the call, so it can be shared with the caller.
    virtual void writeLater(std::string header, std::shared_ptr<const LargeText> body,
                            CopyWanted wanted) = 0;
    /// Removes this instance's copy, if any, once any write in progress is over.
    virtual void discard() = 0;

    /// Copies whose owner no longer runs, oldest first. They are reserved for this
    /// instance until `remove`d or `release`d, so no other instance offers them meanwhile.
    virtual std::vector<LeftRecoveryCopy> claimLeftCopies() = 0;
    virtual void remove(const std::string& id) = 0;
    /// Gives a claimed copy back, for a later start to offer.
    virtual void release(const std::string& id) = 0;
};

} // namespace mb
