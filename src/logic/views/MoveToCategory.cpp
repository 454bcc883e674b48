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
    const int m = keyTailNumber(draggedNodeKey);
    if (!library.isValidNumber(m)) return "";

    int last = -1;
    {
        const auto edit =
            state.history.begin("Move " + std::string(trimBlanks(library.entry(m).Name)) + " to " +
                                std::string(trimBlanks(targetCategory)));
        last = state.history.moveMaterialToEnd(m, targetCategory);
    }
    // The tree was built afresh when the move's notice went out.

    const std::string key = materialNodeKey(targetCategory, library.entry(last).Name, last);
    tree.ensureVisible(key);
    tree.select(key);
    return key;
}

} // namespace mb
