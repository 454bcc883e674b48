#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mb {

class Library;

inline constexpr const char* kSelectMaterialToCompare =
    "Select a material in the tree to add it to the comparison.";

/// The unit text the grid shows for catalogue slot `slot` in `unitSystem` ("IPS", "SI",
/// "MKS"), trimmed: "psi", "N/m^2", "Kelvin", "" for a ratio.
std::string shownUnits(int slot, std::string_view unitSystem);
/// An SI value of `slot` as the grid shows it in `unitSystem`: the file's number text of
/// the converted value in general decimal form, with `separator` as decimal point.
std::string shownValue(int slot, double si, std::string_view unitSystem,
                       std::string_view separator);
/// The same followed by the unit, where there is one: "30463140 psi".
std::string shownValueWithUnits(int slot, double si, std::string_view unitSystem,
                                std::string_view separator);

/// One property of a comparison: its value in each compared material ("" where a
/// material has none) and whether two of the materials that have it differ.
struct ComparisonRow {
    int slot = -1;
    std::string code, description, units;
    std::vector<std::string> values;
    bool differs = false;

    bool operator==(const ComparisonRow&) const = default;
};

/// What the comparison window shows: a column per material, a row per property that any
/// of them has, in catalogue order.
struct ComparisonTable {
    std::vector<std::string> names;
    std::vector<ComparisonRow> rows;

    /// Whether the two show the same: cheaper than comparing their lines, which an edit of
    /// a compared material asks each time.
    bool operator==(const ComparisonTable&) const = default;

    /// "Property", "Description", the names, "Units", "Differs"; then one line per row,
    /// "*" in the last column of a row where two materials that have the value differ.
    std::vector<std::vector<std::string>> lines() const;
    /// The lines with tabs between the fields, each ending in a line feed.
    std::string tabSeparated() const;
    /// The lines as comma-separated values; a field with a comma, a quote, a line break or
    /// blanks at either end is quoted.
    std::string csv() const;
};

/// The materials of the open library put side by side, by the user's "Add to
/// Comparison". A material is followed through the library's changes by its name: it keeps
/// its column when other materials are added, moved or deleted and when it is moved or
/// renamed, and loses it when it is deleted itself or another library takes the open one's
/// place. Follow after every single change: a rename is told from a replaced library by
/// the material's values, which a rename leaves as they were.
class MaterialComparison {
public:
    /// Adds material n as the last column; false when it is compared already or n names
    /// no material.
    bool add(const Library& library, int n);
    void remove(int column);
    /// Moves a column to position `to`; the others keep their order.
    void move(int from, int to);
    void clear();

    int columnCount() const { return static_cast<int>(columns_.size()); }
    /// The material numbers of the columns, as the library was last followed.
    std::vector<int> materials() const;

    /// Finds the compared materials again after the library changed; true when a column
    /// now shows another number or went.
    bool follow(const Library& library);

    /// The table in `unitSystem` ("IPS", "SI", "MKS"), numbers written with `separator`.
    /// Values that differ by more than a relative 1E-9 count as different.
    ComparisonTable table(const Library& library, std::string_view unitSystem,
                          std::string_view separator) const;

private:
    struct Column {
        int number;
        std::string name;   ///< trimmed, lower case
        std::size_t values; ///< a hash of the values as last followed
    };
    std::vector<Column> columns_;
    int count_ = 0; ///< materials in the library when it was last followed
};

} // namespace mb
