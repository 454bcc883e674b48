#pragma once

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace mb::cli {

/// Library text is Latin-1, one byte per character; a terminal shows and types its locale's
/// encoding. This converts what the tool prints of a library to the terminal's encoding and
/// what the user types back to library text, so that a name reads and is typed as the
/// terminal shows it. Paths and file contents are never converted: only library text.
class TerminalText {
public:
    /// Bytes pass through both ways unchanged.
    TerminalText() = default;
    /// Converts between Latin-1 and `codeset` as nl_langinfo(CODESET) names it. ASCII (the
    /// C and POSIX locales) and a codeset iconv does not know pass bytes through.
    explicit TerminalText(std::string_view codeset);
    ~TerminalText();
    TerminalText(const TerminalText&) = delete;
    TerminalText& operator=(const TerminalText&) = delete;

    /// The encoding of the process's LC_CTYPE as the environment sets it; the process's
    /// locale is left as it was, so nothing else the tool does depends on it.
    static std::string localeCodeset();

    /// `latin1` as the terminal shows it; a character the terminal's encoding lacks becomes
    /// its nearest spelling there, else "?".
    std::string shown(std::string_view latin1) const;
    /// `text` as typed, in library text; nothing when it holds a character Latin-1 lacks or
    /// is not valid in the terminal's encoding, for such text can match no library text.
    std::optional<std::string> typed(std::string_view text) const;

private:
    iconv_t toTerminal_ = kNone;
    iconv_t fromTerminal_ = kNone;
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
};

} // namespace mb::cli
