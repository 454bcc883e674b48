#include "TextFitter.h"

#include "LibraryTextRules.h"
#include "TextUtil.h"
#include "Utf8Text.h"

#include <algorithm>

namespace mb {

namespace {

/// Columns of the material line that hold the name code.
constexpr std::size_t kNameCodeColumns = 13;

} // namespace

// A cell can hold anything, line breaks and Chinese included; written as it is, a name
// "Steel", LF, "A36" would make two lines of the library, and a CR LF followed by "MATL:"
// a material of its own.
std::string TextFitter::fit(std::string_view utf8, std::string_view where, std::string_view what) {
    std::vector<TextReplacement> replaced;
    std::string text = utf8ToLibraryText(utf8, &replaced);
    if (!replaced.empty()) {
        // Each character once, however often the text holds it.
        std::string list;
        std::vector<std::string> said;
        for (const TextReplacement& r : replaced) {
            const std::string item =
                r.from + (r.to.empty() ? " was left out"
                                       : " became " + std::string(r.to == "\"" ? "'" : "\"") +
                                             r.to + (r.to == "\"" ? "'" : "\""));
            if (std::find(said.begin(), said.end(), item) != said.end()) continue;
            said.push_back(item);
            list += (list.empty() ? "" : ", ") + item;
        }
        notes_.push_back(std::string(where) + ": the " + std::string(what) +
                         " holds characters beyond Latin-1, which a library cannot hold: " + list +
                         ".");
    }
    if (hasControlCharacter(text)) {
        notes_.push_back(std::string(where) +
                         ": line breaks, tabs and other control characters in the " +
                         std::string(what) + " were replaced by blanks.");
        text = replaceControlCharacters(text);
    }
    return text;
}

std::string TextFitter::name(std::string_view utf8, std::string_view where) {
    std::string text = fit(utf8, where, "name");
    // Blanks around the name are kept as the file has them unless they alone push it
    // past the columns of the name field.
    if (text.size() > kNameColumns) {
        const std::string_view visible = trimBlanks(text);
        if (visible.size() > kNameColumns) {
            text = cutToColumns(visible, kNameColumns);
            notes_.push_back(
                std::string(where) + ": the name has more than " + std::to_string(kNameColumns) +
                " characters, the most a library keeps; it was shortened to \"" + text + "\".");
        } else {
            text = std::string(visible);
        }
    }
    return text;
}

std::string TextFitter::category(std::string_view utf8, std::string_view where) {
    return fit(utf8, where, "category");
}

std::string TextFitter::nameCode(std::string_view utf8, std::string_view where) {
    std::string text = fit(utf8, where, "name code");
    // Blanks past the code's 13 columns would push the name out of its own.
    if (text.size() > kNameCodeColumns && trimRightBlanks(text).size() <= kNameCodeColumns)
        text = std::string(trimRightBlanks(text));
    if (trimRightBlanks(text).size() > kNameCodeColumns) {
        text = cutToColumns(text, kNameCodeColumns);
        notes_.push_back(std::string(where) + ": the name code has more than " +
                         std::to_string(kNameCodeColumns) +
                         " characters, the most a library keeps; it was shortened to \"" + text +
                         "\".");
    }
    return text;
}

std::string TextFitter::description(std::string_view utf8, std::string_view where) {
    std::string text = fit(utf8, where, "description");
    if (trimRightBlanks(text).size() > kDescriptionColumns) {
        text = cutToColumns(text, kDescriptionColumns);
        notes_.push_back(std::string(where) + ": the description has more than " +
                         std::to_string(kDescriptionColumns) +
                         " characters, the most a library keeps; it was shortened to \"" + text +
                         "\".");
    }
    return text;
}

} // namespace mb
