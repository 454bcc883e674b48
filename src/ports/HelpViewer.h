#pragma once

#include <string>

namespace mb {

/// Shows a help file at its default topic. Whether the file exists, and any complaint
/// about it, is the viewer's business: the caller does not examine the outcome.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void open(const std::string& path) = 0;
};

} // namespace mb
