#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// One conflict that a three-way merge of libraries left for a person to decide, as the
/// merge lists it in the `.conflicts` file beside the library it wrote.
struct ConflictEntry {
    enum class Kind { Value, Description, NameCode, Category, Name, Material, Limit };
    enum Side { Base = 0, Ours = 1, Theirs = 2 };

    Kind kind = Kind::Value;
    std::string name; ///< the material's name, trimmed, as the merged library spells it
    std::string code; ///< the property code, or the keyword of the other kinds, as written
    int slot = -1;    ///< Value: the catalogue slot of `code`
    /// The three sides' texts, unescaped; none for "-".
    std::array<std::optional<std::string>, 3> sides;
    /// Value: the sides as SI numbers; none where a side has no value.
    std::array<std::optional<double>, 3> si;
};

/// What a conflict file held, or why it could not be read.
struct ConflictFileContent {
    std::vector<ConflictEntry> conflicts;
    std::string error; ///< "" when read; else the file (or "text"), the line and the reason
};

/// The conflict file that belongs to the library at `libraryPath`.
std::string conflictFilePath(const std::string& libraryPath);

/// Reads conflict lines. `origin` names the text in messages ("steels.lib.conflicts").
/// Every line must be whole: one bad line rejects the text, so no conflict is lost to a
/// guess.
ConflictFileContent parseConflictText(std::string_view text, std::string_view origin);

/// Reads the conflict file at `path`; a file that cannot be opened is an error too.
ConflictFileContent readConflictFile(const std::string& path);

/// A field of a conflict line: backslash, tab, line feed and carriage return escaped.
std::string escapeConflictField(std::string_view text);

/// The lines of `conflicts`, as parseConflictText reads them back.
std::string conflictFileText(const std::vector<ConflictEntry>& conflicts);

/// Writes `conflicts` to `path` through a file beside it, renamed over it once whole.
/// Returns "" or what went wrong, naming the file.
std::string writeConflictFile(const std::string& path, const std::vector<ConflictEntry>& conflicts);

} // namespace mb
