#include "MoveToCategory.h"

#include "AppState.h"
#include "Controls.h"
#include "NodeKey.h"
#include "TextUtil.h"

namespace mb {

std::string MoveMaterialToCategory(AppState& state, TreeControl& tree,
                                   const std::string& draggedNodeKey,
                                   const std::string& targetCategory) {
    Library& library = state.library;
    // An empty or category key would read as material 0 and move the wrong material.
    if (draggedNodeKey.empty() || IsCategoryKey(draggedNodeKey)) return "";
    const int m = KeyTailNumber(draggedNodeKey);
    if (!library.IsValidNumber(m)) return "";

    int last = -1;
    {
        const auto edit =
            state.history.begin("Move " + std::string(TrimBlanks(library.Entry(m).Name)) + " to " +
                                std::string(TrimBlanks(targetCategory)));
        last = state.history.MoveMaterialToEnd(m, targetCategory);
    }
    // The tree was built afresh when the move's notice went out.

    const std::string key = MaterialNodeKey(targetCategory, library.Entry(last).Name, last);
    tree.ensureVisible(key);
    tree.select(key);
    return key;
}

} // namespace mb
