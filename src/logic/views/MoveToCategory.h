#pragma once

#include <string>

namespace mb {

struct AppState;
class TreeControl;

/// Moves the material whose node key is `draggedNodeKey` into `targetCategory` (category
/// text as held, normally the key of the category node dropped on). The material leaves
/// its place, every later material moves down by one number, and it becomes the last
/// material; working and shadow records move with it, and the move is an edit of its own
/// in the edit history. The tree is rebuilt, its categories open or closed as they were,
/// and the moved node made visible and selected.
///
/// Returns the moved material's node key, or "" when `draggedNodeKey` names no material
/// of the library (nothing changes then). Selecting the node does not run the node-click
/// handling: the caller decides what the window shows.
std::string MoveMaterialToCategory(AppState& state, TreeControl& tree,
                                   const std::string& draggedNodeKey,
                                   const std::string& targetCategory);

} // namespace mb
