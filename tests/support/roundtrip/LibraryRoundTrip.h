#pragma once

#include <string>
#include <string_view>

namespace mb {
class Library;
}

namespace mb::fuzz {

/// Reads arbitrary bytes as a library, writes what was read, and reads the written text
/// back, under both decimal separators. Returns "" when everything held, otherwise which
/// promise of the reader or writer was broken.
std::string RoundTripLibrary(std::string_view bytes);

/// Writes `library` as a save does, checks that the text is well formed, reads it into
/// `readBack` with `separator` and checks that every material came back in its category
/// with its texts and values. Returns "" or what was lost. Writing fills empty name codes
/// of `library`, as a save does. With `tolerateWideNames`, the texts of a material whose name
/// is wider than the file's 30 name columns, trailing blanks aside, are not compared (its
/// values still are).
std::string CheckSavedLibrary(Library& library, std::string_view separator, Library& readBack,
                              bool tolerateWideNames = false);

} // namespace mb::fuzz
