#pragma once

#include <optional>
#include <string>
#include <vector>

namespace mb {

/// One form of what is put on the clipboard: bytes under a MIME type.
struct ClipboardPayload {
    std::string mimeType;
    std::string bytes;
};

/// The desktop's clipboard, shared with every other program of the session. Texts are
/// library text: one byte per character (Latin-1).
class Clipboard {
public:
    virtual ~Clipboard() = default;
    /// Replaces what the clipboard holds by `payloads` and `text`, offered together as
    /// one content.
    virtual void put(const std::vector<ClipboardPayload>& payloads, const std::string& text) = 0;
    /// The bytes held under `mimeType`; nullopt when the clipboard offers no such form.
    virtual std::optional<std::string> get(const std::string& mimeType) const = 0;
    /// The plain text the clipboard holds; nullopt when it holds none. A character beyond
    /// Latin-1 reads as "?".
    virtual std::optional<std::string> text() const = 0;
};

} // namespace mb
