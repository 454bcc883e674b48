#pragma once

#include <string>
#include <vector>

namespace mb {

class Library;

/// One difference between an old and a new library, for one material.
struct LibraryDifference {
    enum class Kind { Added, Removed, Moved, NameCode, Description, Value };
    Kind kind = Kind::Added;
    std::string name;      ///< trimmed, as the new library spells it (the old one for Removed)
    int oldNumber = -1;    ///< the material's number in the old library; -1 for Added
    int newNumber = -1;    ///< the material's number in the new library; -1 for Removed
    int slot = -1;         ///< the property of a Value difference
    std::string before;    ///< old category, name code, description or value text
    std::string after;     ///< new category, name code, description or value text
    bool hadValue = false; ///< Value: whether the old material had one, and its SI number
    double oldValue = 0;
    bool hasValue = false; ///< Value: whether the new material has one, and its SI number
    double newValue = 0;

    /// The difference as one tab-separated line without its line end:
    /// "added CATEGORY NAME", "removed CATEGORY NAME", "moved NAME OLD NEW",
    /// "namecode NAME OLD NEW", "description NAME OLD NEW", "value NAME CODE OLD NEW".
    std::string line() const;
};

struct LibraryComparison {
    /// In the material order of the new library, then the removed materials in the order
    /// of the old one; within a material: moved, name code, description, values in
    /// catalogue order.
    std::vector<LibraryDifference> differences;
    /// Names (trimmed, as first spelt) held by more than one material; only the first of
    /// them is compared.
    std::vector<std::string> oldRepeatedNames, newRepeatedNames;
};

/// Compares two libraries material by material. A material is identified by its name,
/// trimmed and compared without regard to case. Categories, name codes and descriptions
/// are compared trimmed of blanks, categories also without regard to case, as a save
/// groups them; values as the SI numbers the records hold.
LibraryComparison compareLibraries(Library& oldLibrary, Library& newLibrary);

/// An SI value as the file's number text ("21000E7"); where that text does not read back
/// to the very same number, the shortest text that does, so two different values never
/// look alike.
std::string exactNumberText(double si);

} // namespace mb
