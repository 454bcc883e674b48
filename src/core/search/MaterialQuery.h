#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

class Library;
class clsMaterial;
struct LibraryEntry;

struct QueryParse;

/// A query over a library: words and phrases that must occur in a material's texts, and
/// conditions on its property values. A material matches when all of them hold.
///
/// Words are separated by blanks; `"two words"` is a phrase. A word or phrase occurs when
/// it is part of the name, category, name code or description, letters compared without
/// regard to case. `CODE>NUMBER` (also `>=`, `<`, `<=`, `=`) compares a value, the code in
/// any letter case and the number alone in the shown system or followed by a unit of the
/// property's quantity (`EX>200GPa`, `DENS<3000 kg/m^3`); `CODE` alone asks for a value,
/// written as the file writes it, in capitals, with `C` for `C (Cp)`. A token that is a
/// code is never a word.
class MaterialQuery {
public:
    enum class Comparison { HasValue, Less, LessOrEqual, Equal, GreaterOrEqual, Greater };

    struct Condition {
        int slot = -1;
        Comparison comparison = Comparison::HasValue;
        double si = 0; ///< the condition's number converted to SI
    };

    /// Reads a query whose numbers are in `unitSystem` ("IPS", "SI" or "MKS"), written
    /// with "." or with `decimalSeparator` as decimal point. A text that is no query gives
    /// a message naming the part that is wrong.
    static QueryParse parse(std::string_view text, std::string_view unitSystem,
                            std::string_view decimalSeparator);

    /// True when the query has neither words nor conditions: it matches every material.
    bool isEmpty() const { return texts_.empty() && conditions_.empty(); }

    bool matches(const LibraryEntry& entry, const clsMaterial& record) const;

    /// The numbers of the matching materials, in ascending order. The library is not
    /// changed, but reaching a record may make an empty one for a slot that holds none.
    std::vector<int> matchingMaterials(Library& library) const;

    /// Words and phrases as they are looked for (letters in lower case).
    const std::vector<std::string>& texts() const { return texts_; }
    const std::vector<Condition>& conditions() const { return conditions_; }

private:
    std::vector<std::string> texts_;
    std::vector<Condition> conditions_;
};

struct QueryParse {
    std::optional<MaterialQuery> query; ///< empty when the text is no query
    std::string error;                  ///< why the text is no query; "" otherwise
};

/// Slot of a property code as the file writes it ("EX", "C" for "C (Cp)"), compared
/// exactly; -1 for anything else.
int queryCodeSlot(std::string_view code);
/// The same for a code before a comparison, where it cannot be a word: in any letter case.
int conditionCodeSlot(std::string_view code);

/// Two values are equal for a query when they differ by at most a relative 1E-9, so a
/// value converted from one unit system to another still equals the number it was typed as.
bool valuesEqual(double a, double b);

} // namespace mb
