#pragma once

#include <string>
#include <string_view>

namespace mb {

struct LibraryChange;

class Library;
class TreeControl;
class Visibility;

/// The material number as four-digit text: "0007", "0123", "1000".
std::string fourDigitText(int n);

/// Numeric value of a key's last four characters (the whole key when shorter): the
/// leading decimal digits after blanks are skipped, 0 when there are none.
int keyTailNumber(std::string_view key);

/// A key whose tail reads 0 without being "0000" is a category's (it ends in blanks).
bool IsCategoryKey(std::string_view key);

/// Key of a material node: category text, name text, four-digit number.
std::string materialNodeKey(const std::string& category, const std::string& name, int n);

/// Fills the tree from the library index: categories in order of first occurrence,
/// materials under their category in number order. Failing steps are skipped.
void BuildTree(Library& library, TreeControl& tree);

/// Builds the tree afresh from the library after materials were added, removed or moved,
/// with each category that is still there open or closed as it was.
void rebuildTree(Library& library, TreeControl& tree);

/// Brings the tree up to date after `change`: built afresh when numbers shifted or a
/// node's key no longer fits (undo of a rename or a move), otherwise only when a material
/// touched has no node yet, or one under another category or with another label. A
/// command that placed its own node (a new material, a paste, a rename typed into the
/// tree) leaves nothing to do.
void followChange(Library& library, TreeControl& tree, const LibraryChange& change);

/// The material node to show after material `removed` of `category` went, "" for none:
/// the material that took its place in its category, else the one before it there; when
/// the category went with it, the material now numbered like it, or the last.
std::string neighbourOfRemoved(const TreeControl& tree, const Library& library, int removed,
                               const std::string& category);

/// The selected material's number, -1 for no selection or a category with children.
int SelectedMaterialNumber(const TreeControl& tree);

/// Discards the index, clears the tree and hides it and the value frame. The records
/// and the number of materials are left as they are.
void ResetLibraryView(Library& library, TreeControl& tree, Visibility& valueFrame);

} // namespace mb
