#pragma once

#include "HelpViewer.h"

namespace mb::qt {

/// Hands the help file to the desktop's viewer for its type. A missing file or a
/// desktop with no viewer is the desktop's to report.
class QtHelpViewer : public HelpViewer {
public:
    void open(const std::string& path) override;
};

} // namespace mb::qt
