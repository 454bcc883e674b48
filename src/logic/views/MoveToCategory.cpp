#include "MoveToCategory.h"

#include "Controls.h"
#include "Library.h"
#include "NodeKey.h"

namespace mb {

std::string MoveMaterialToCategory(Library& library, TreeControl& tree,
                                   const std::string& draggedNodeKey,
                                   const std::string& targetCategory) {
    // An empty or category key would read as material 0 and move the wrong material.
    if (draggedNodeKey.empty() || IsCategoryKey(draggedNodeKey)) return "";
    const int m = KeyTailNumber(draggedNodeKey);
    if (!library.IsValidNumber(m)) return "";

    const int last = library.MoveMaterialToEnd(m, targetCategory);

    tree.removeAll();
    BuildTree(library, tree);

    const std::string key = MaterialNodeKey(targetCategory, library.Entry(last).Name, last);
    tree.ensureVisible(key);
    tree.select(key);
    return key;
}

} // namespace mb
