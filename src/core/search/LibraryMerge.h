#pragma once

#include "Library.h"

#include <string>
#include <vector>

namespace mb {

/// One thing the two sides of a merge changed differently (or one change that did not fit);
/// the merged library holds our side's choice for it.
///
/// As a line (`line()`, and so on stderr and in the `.conflicts` file, which holds one such
/// line per conflict, each ended by LF, no header line, bytes as the library holds them):
///
///     conflict<TAB>NAME<TAB>CODE<TAB>BASE<TAB>OURS<TAB>THEIRS
///
/// NAME is the material's name trimmed of blanks, as the merged library spells it; for a
/// material the merged library does not hold, as THEIRS spells it. No field is quoted; a
/// backslash, TAB, LF or CR inside a field is written "\\", "\t", "\n", "\r". CODE and the
/// three values BASE, OURS, THEIRS ("-" where a side has none):
///
///  - a property code as `diff` writes it (`EX`, `DENS`, `C`): the value set differently;
///    the values as SI number text (exactNumberText).
///  - `DESCRIPTION`, `NAMECODE`: the text set differently; the texts, trimmed.
///  - `CATEGORY`: moved to different categories; the category names, trimmed.
///  - `NAME`: renamed differently, or the name THEIRS gave it is held by another material
///    of the merge; the names, trimmed.
///  - `MATERIAL`: removed on one side and edited on the other, or a name added on both
///    sides (BASE "-") with different contents, or added by THEIRS under a name another
///    material of the merge holds; the material's category on each side, "-" where that
///    side does not hold it.
///  - `LIMIT`: a material THEIRS added that would make the merge hold more materials than
///    a library can; "-", "-" and its category in THEIRS.
struct MergeConflict {
    std::string name;
    std::string code;
    std::string base, ours, theirs;

    std::string line() const;
};

struct MergeResult {
    Library merged;
    /// In the material order of `merged`, then the conflicts about materials it does not
    /// hold in THEIRS's order; within a material NAME, CATEGORY, NAMECODE, DESCRIPTION,
    /// then properties in catalogue order.
    std::vector<MergeConflict> conflicts;
};

/// Merges the changes `ours` and `theirs` made to `base`, material by material and value by
/// value. Materials are identified as compareLibraries identifies them (the k-th material
/// of a name with the k-th of that name on the other side); a material of `base` that a
/// side no longer holds by name is paired with a material new on that side that has the
/// very same values, as a rename. A change made on one side only is taken, the same change
/// on both sides once; where the sides differ, ours is kept and a conflict recorded.
/// Materials keep the order of `ours`; one that THEIRS added, or moved to another category,
/// goes after the material that precedes it in THEIRS.
MergeResult mergeLibraries(Library& base, Library& ours, Library& theirs);

} // namespace mb
