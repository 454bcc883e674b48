#pragma once

// The desktop's clipboard in memory: what was put last, form by form, as another program
// would find it.

#include "Clipboard.h"

#include <map>

namespace mb::fake {

class FakeClipboard : public Clipboard {
public:
    void put(const std::vector<ClipboardPayload>& payloads, const std::string& text) override {
        forms.clear();
        for (const ClipboardPayload& p : payloads)
            forms[p.mimeType] = p.bytes;
        forms["text/plain"] = text;
        ++puts;
    }
    std::optional<std::string> get(const std::string& mimeType) const override {
        const auto it = forms.find(mimeType);
        if (it == forms.end()) return std::nullopt;
        return it->second;
    }
    std::optional<std::string> text() const override { return get("text/plain"); }

    /// What another program put there: the forms replace everything.
    void holdOnly(std::map<std::string, std::string> content) { forms = std::move(content); }

    std::map<std::string, std::string> forms;
    int puts = 0;
};

} // namespace mb::fake
