#pragma once

#include "Clipboard.h"

namespace mb::qt {

/// The application's `QClipboard` (its clipboard mode, not the X selection).
class QtClipboard final : public Clipboard {
public:
    void put(const std::vector<ClipboardPayload>& payloads, const std::string& text) override;
    std::optional<std::string> get(const std::string& mimeType) const override;
    std::optional<std::string> text() const override;
};

} // namespace mb::qt
