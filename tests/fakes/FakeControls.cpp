#include "FakeControls.h"

#include <algorithm>

namespace mb::fake {

void FakeGrid::setRows(int rows) {
    rows_ = rows;
    std::erase_if(cells_, [rows](const auto& cell) { return cell.first.first >= rows; });
}

void FakeGrid::setCurrentCell(int row, int col) {
    if (row == row_ && col == col_) return;
    // The handler sees the cell being left, as the grid reports it before moving on.
    if (onLeaveCell) onLeaveCell();
    row_ = row;
    col_ = col;
}

void FakeGrid::setText(const std::string& text) {
    if (text.empty()) cells_.erase({row_, col_});
    else cells_[{row_, col_}] = text;
}

std::string FakeGrid::textMatrix(int row, int col) const {
    const auto it = cells_.find({row, col});
    return it == cells_.end() ? std::string() : it->second;
}

void FakeGrid::typeIntoCurrentCell(const std::string& text) {
    setText(text);
    editing_ = false;
}

std::vector<std::string> FakeGrid::rowTexts(int row) const {
    std::vector<std::string> out;
    for (int c = 0; c < cols_; ++c) out.push_back(textMatrix(row, c));
    return out;
}

FakeTree::Node* FakeTree::find(const std::string& key) {
    const auto it = std::find_if(nodes_.begin(), nodes_.end(),
                                 [&](const Node& n) { return n.key == key; });
    return it == nodes_.end() ? nullptr : &*it;
}

const FakeTree::Node* FakeTree::find(const std::string& key) const {
    return const_cast<FakeTree*>(this)->find(key);
}

bool FakeTree::addNode(const std::optional<std::string>& parentKey, const std::string& key,
                       const std::string& text, const std::string& image) {
    if (find(key)) return false;
    if (parentKey && !find(*parentKey)) return false;
    nodes_.push_back({key, text, image, parentKey});
    return true;
}

void FakeTree::removeAll() {
    nodes_.clear();
    selected_.reset();
    highlight_.reset();
}

bool FakeTree::removeNode(const std::string& key) {
    if (!find(key)) return false;
    std::erase_if(nodes_, [&](const Node& n) { return n.key == key || n.parent == key; });
    if (selected_ && !find(*selected_)) selected_.reset();
    if (highlight_ && !find(*highlight_)) highlight_.reset();
    return true;
}

bool FakeTree::select(const std::string& key) {
    if (!find(key)) return false;
    selected_ = key;
    return true;
}

std::string FakeTree::nodeText(const std::string& key) const {
    const Node* n = find(key);
    return n ? n->text : std::string();
}

void FakeTree::setNodeText(const std::string& key, const std::string& text) {
    if (Node* n = find(key)) n->text = text;
}

std::optional<std::string> FakeTree::parentKey(const std::string& key) const {
    const Node* n = find(key);
    return n ? n->parent : std::nullopt;
}

int FakeTree::childCount(const std::string& key) const {
    return static_cast<int>(std::count_if(nodes_.begin(), nodes_.end(),
                                          [&](const Node& n) { return n.parent == key; }));
}

std::vector<std::string> FakeTree::keysInOrder() const {
    std::vector<std::string> out;
    for (const Node& top : nodes_) {
        if (top.parent) continue;
        out.push_back(top.key);
        for (const Node& child : nodes_)
            if (child.parent == top.key) out.push_back(child.key);
    }
    return out;
}

void FakeTree::setImage(const std::string& key, const std::string& image) {
    if (Node* n = find(key)) n->image = image;
}

std::string FakeTree::image(const std::string& key) const {
    const Node* n = find(key);
    return n ? n->image : std::string();
}

std::optional<std::string> FakeTree::hitTest(int x, int y) const {
    const auto it = points_.find({x, y});
    if (it == points_.end() || !find(it->second)) return std::nullopt;
    return it->second;
}

} // namespace mb::fake
