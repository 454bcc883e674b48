#include "TerminalText.h"

#include "TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <langinfo.h>

namespace mb::cli {

namespace {

constexpr std::string_view kLibraryCodeset = "ISO-8859-1";

// The C and POSIX locales say ASCII. Their bytes are passed through rather than narrowed to
// ASCII: a script in the C locale then sees the file's own bytes, as it always has, and can
// hand a name it read back to the tool.
bool IsAscii(std::string_view codeset) {
    return codeset.empty() || codeset == "ANSI_X3.4-1968" || equalsNoCase(codeset, "ASCII") ||
           equalsNoCase(codeset, "US-ASCII");
}

/// Appends `text` converted by `cd` to `out`. A sequence `cd` cannot convert becomes "?"
/// when `replace` is set, else ends the conversion with false.
bool Convert(iconv_t cd, std::string_view text, bool replace, std::string& out) {
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[512];
    const auto flush = [&](char* end) {
        out.append(buffer, static_cast<std::size_t>(end - buffer));
    };
    while (inLeft > 0) {
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        const std::size_t converted = ::iconv(cd, &in, &inLeft, &to, &toLeft);
        flush(to);
        if (converted != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        if (!replace) return false;
        out += '?';
        ++in;
        --inLeft;
    }
    char* to = buffer;
    std::size_t toLeft = sizeof buffer;
    ::iconv(cd, nullptr, nullptr, &to, &toLeft); // back to the initial shift state
    flush(to);
    return true;
}

// The charset a locale name such as "en_US.UTF-8@euro" carries, for a locale the system
// has not installed: the terminal still speaks it.
std::string CodesetOfName(std::string_view name) {
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) return {};
    const std::string_view rest = name.substr(dot + 1);
    return std::string(rest.substr(0, rest.find('@')));
}

} // namespace

TerminalText::TerminalText(std::string_view codeset) {
    if (IsAscii(codeset)) return;
    const std::string terminal(codeset);
    // Transliteration spares a terminal of another 8-bit set a "?" where it has a spelling.
    toTerminal_ = ::iconv_open((terminal + "//TRANSLIT").c_str(), kLibraryCodeset.data());
    fromTerminal_ = ::iconv_open(kLibraryCodeset.data(), terminal.c_str());
    if (toTerminal_ == kNone || fromTerminal_ == kNone) {
        if (toTerminal_ != kNone) ::iconv_close(toTerminal_);
        if (fromTerminal_ != kNone) ::iconv_close(fromTerminal_);
        toTerminal_ = fromTerminal_ = kNone;
    }
}

TerminalText::~TerminalText() {
    if (toTerminal_ != kNone) ::iconv_close(toTerminal_);
    if (fromTerminal_ != kNone) ::iconv_close(fromTerminal_);
}

std::string TerminalText::localeCodeset() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = current ? current : "C";
    std::string codeset;
    if (std::setlocale(LC_CTYPE, "")) {
        codeset = ::nl_langinfo(CODESET);
    } else {
        // The variable that decides LC_CTYPE, as setlocale would have read it.
        for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            const char* value = std::getenv(variable);
            if (value && *value) {
                codeset = CodesetOfName(value);
                break;
            }
        }
    }
    std::setlocale(LC_CTYPE, saved.c_str());
    return codeset;
}

std::string TerminalText::shown(std::string_view latin1) const {
    if (toTerminal_ == kNone) return std::string(latin1);
    std::string out;
    out.reserve(latin1.size() + latin1.size() / 16);
    // Every codeset a locale can have holds ASCII as ASCII, so only the runs of other bytes
    // go through iconv: a dump of the largest library is mostly ASCII, and passing all of
    // it through iconv took three times the processor time of the dump itself.
    const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    for (auto at = latin1.begin(); at != latin1.end();) {
        const auto other = std::find_if_not(at, latin1.end(), ascii);
        out.append(at, other);
        at = std::find_if(other, latin1.end(), ascii);
        if (at != other) Convert(toTerminal_, std::string_view(other, at), true, out);
    }
    return out;
}

std::optional<std::string> TerminalText::typed(std::string_view text) const {
    if (fromTerminal_ == kNone) return std::string(text);
    std::string out;
    if (!Convert(fromTerminal_, text, false, out)) return std::nullopt;
    return out;
}

} // namespace mb::cli
