#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// The texts of one material made fit for a library. Each takes UTF-8 and gives library
/// text: characters beyond Latin-1 are spelt as utf8ToLibraryText spells them, control
/// characters become blanks, and each change is a note. `where` names the place in the
/// file ("Row 7", "Key categories[0].materials[2].name") and starts every note.
class TextFitter {
public:
    explicit TextFitter(std::vector<std::string>& notes) : notes_(notes) {}

    /// A name wider than its 30 columns is shortened.
    std::string name(std::string_view utf8, std::string_view where);
    /// A category has no width limit.
    std::string category(std::string_view utf8, std::string_view where);
    /// Cut to the 13 columns of the name code.
    std::string nameCode(std::string_view utf8, std::string_view where);
    /// Cut to the 50 characters a library keeps.
    std::string description(std::string_view utf8, std::string_view where);

private:
    std::string fit(std::string_view utf8, std::string_view where, std::string_view what);
    std::vector<std::string>& notes_;
};

} // namespace mb
