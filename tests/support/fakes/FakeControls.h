#pragma once

// In-memory stand-ins for the editor's controls. They behave like the real widgets as
// far as the logic can tell, and let a test act as the user (click, type, move).

#include "Controls.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace mb::fake {

/// A control of kind `Base` that remembers whether it is shown.
template <class Base> class Shown : public Base {
public:
    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }

private:
    bool visible_ = true;
};

using FakeFrame = Shown<Frame>;

class FakeButton : public Shown<Button> {
public:
    explicit FakeButton(std::string caption = "") : caption_(std::move(caption)) {}
    std::string caption() const override { return caption_; }

private:
    std::string caption_;
};

class FakeLabel : public Shown<Label> {
public:
    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }

private:
    std::string caption_;
};

/// A text box entered at its start, whose selection nobody looks at. Like the real box it
/// cuts what is set to its maximum length.
class FakeTextBox : public Shown<TextBox> {
public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override {
        text_ = text.substr(0, static_cast<std::size_t>(maxLength_));
    }
    void setFocus() override { ++focusRequests; }
    void setSelLength(int) override {}
    void setMaxLength(int length) override { maxLength_ = std::max(length, 0), setText(text_); }
    void markStored() override { ++storedMarks; }
    int maxLength() const { return maxLength_; }

    int focusRequests = 0;
    int storedMarks = 0;

private:
    std::string text_;
    int maxLength_ = 32767; // the real box's default
};

class FakeComboBox : public Shown<ComboBox> {
public:
    void clear() override { items_.clear(), index_ = -1; }
    void addItem(const std::string& text) override { items_.push_back(text); }
    int count() const override { return static_cast<int>(items_.size()); }
    int listIndex() const override { return index_; }
    void setListIndex(int index) override { index_ = index >= 0 && index < count() ? index : -1; }

private:
    std::vector<std::string> items_;
    int index_ = -1;
};

/// A grid that reports every change of the current cell through `onLeaveCell`, with
/// row(), col() and text() describing the cell being left while the handler runs.
class FakeGrid : public Shown<GridControl> {
public:
    std::function<void()> onLeaveCell;

    void setRows(int rows) override { rows_ = rows; }
    int rows() const override { return rows_; }
    void setCols(int cols) override { cols_ = cols; }
    int cols() const { return cols_; }
    int row() const override { return row_; }
    int col() const override { return col_; }
    void setCurrentCell(int row, int col) override {
        if (row == row_ && col == col_) return;
        if (onLeaveCell) onLeaveCell(); // the grid reports the cell before moving on
        row_ = row, col_ = col;
    }
    std::string text() const override { return textMatrix(row_, col_); }
    void setText(const std::string& text) override { cells_[{row_, col_}] = text; }
    std::string textMatrix(int row, int col) const override {
        const auto it = cells_.find({row, col});
        return it == cells_.end() ? std::string() : it->second;
    }
    void clear() override { cells_.clear(), marks.clear(), tips.clear(); }
    void autoSizeColumn(int) override {}
    void editCell() override { editing_ = true; }
    void finishEditing() override { editing_ = false; }
    void setRowMark(int row, RowMark mark, const std::string& tip) override {
        if (mark == RowMark::None)
            marks.erase(row);
        else
            marks[row] = {mark, tip};
        if (tip.empty())
            tips.erase(row);
        else
            tips[row] = tip;
    }

    bool isEditing() const { return editing_; }
    /// The marked rows with their mark and tooltip.
    std::map<int, std::pair<RowMark, std::string>> marks;
    /// The tooltip of each row that has one, marked or not.
    std::map<int, std::string> tips;
    /// What the user's typing leaves in the current cell once the editor closes.
    void typeIntoCurrentCell(const std::string& text) { setText(text), editing_ = false; }

private:
    std::map<std::pair<int, int>, std::string> cells_;
    int rows_ = 0, cols_ = 0, row_ = 0, col_ = 0;
    bool editing_ = false;
};

/// A tree of category and material nodes addressed by key, in the order they were added.
class FakeTree : public Shown<TreeControl> {
public:
    struct Node {
        std::string key, text, image;
        std::optional<std::string> parent;
        bool hidden = false;
        bool expanded = false;
        bool greyed = false;
    };

    bool addNode(const std::optional<std::string>& parentKey, const std::string& key,
                 const std::string& text, const std::string& image) override {
        if (find(key) || (parentKey && !find(*parentKey))) return false;
        nodes_.push_back({key, text, image, parentKey});
        return true;
    }
    bool insertNode(const std::string& parentKey, int index, const std::string& key,
                    const std::string& text, const std::string& image) override {
        if (find(key) || !find(parentKey)) return false;
        auto at = nodes_.begin();
        for (int seen = 0; at != nodes_.end(); ++at)
            if (at->parent == parentKey && seen++ == index) break;
        nodes_.insert(at, {key, text, image, parentKey});
        return true;
    }
    bool setNodeKeys(const std::vector<std::pair<std::string, std::string>>& renames) override {
        std::map<std::string, std::string> to;
        for (const auto& [from, key] : renames)
            if (!find(from) || !to.emplace(from, key).second) return false;
        const auto renamed = [&](const std::string& key) {
            const auto it = to.find(key);
            return it == to.end() ? key : it->second;
        };
        std::vector<Node> after = nodes_;
        std::set<std::string> keys;
        for (Node& n : after) {
            n.key = renamed(n.key);
            if (n.parent) n.parent = renamed(*n.parent);
            if (!keys.insert(n.key).second) return false;
        }
        nodes_ = std::move(after);
        if (selected_) selected_ = renamed(*selected_);
        if (highlight_) highlight_ = renamed(*highlight_);
        return true;
    }
    void removeAll() override { nodes_.clear(), selected_.reset(), highlight_.reset(); }
    bool removeNode(const std::string& key) override {
        if (!find(key)) return false;
        std::erase_if(nodes_, [&](const Node& n) { return n.key == key || n.parent == key; });
        if (selected_ && !find(*selected_)) selected_.reset();
        if (highlight_ && !find(*highlight_)) highlight_.reset();
        return true;
    }
    int nodeCount() const override { return static_cast<int>(nodes_.size()); }
    bool exists(const std::string& key) const override { return find(key) != nullptr; }
    std::optional<std::string> selectedKey() const override { return selected_; }
    bool select(const std::string& key) override { return find(key) && (selected_ = key, true); }
    std::string nodeText(const std::string& key) const override {
        return find(key) ? find(key)->text : "";
    }
    void setNodeText(const std::string& key, const std::string& text) override {
        if (Node* n = find(key)) n->text = text;
    }
    std::optional<std::string> parentKey(const std::string& key) const override {
        return find(key) ? find(key)->parent : std::nullopt;
    }
    int childCount(const std::string& key) const override {
        return static_cast<int>(std::count_if(nodes_.begin(), nodes_.end(),
                                              [&](const Node& n) { return n.parent == key; }));
    }
    /// Every category followed by its materials.
    std::vector<std::string> keysInOrder() const override {
        std::vector<std::string> out;
        for (const Node& top : nodes_)
            for (const Node& n : nodes_)
                if (!top.parent && (n.key == top.key || n.parent == top.key)) out.push_back(n.key);
        return out;
    }
    void setImage(const std::string& key, const std::string& image) override {
        if (Node* n = find(key)) n->image = image;
    }
    std::string image(const std::string& key) const { return find(key) ? find(key)->image : ""; }
    // As the real tree does, showing a node opens its category.
    void ensureVisible(const std::string& key) override {
        if (const auto parent = parentKey(key)) setExpanded(*parent, true);
    }
    bool isExpanded(const std::string& key) const override {
        return find(key) && find(key)->expanded;
    }
    void setExpanded(const std::string& key, bool expanded) override {
        if (Node* n = find(key)) n->expanded = expanded;
    }
    void setNodeHidden(const std::string& key, bool hidden) override {
        if (Node* n = find(key)) n->hidden = hidden;
    }
    bool isNodeHidden(const std::string& key) const { return find(key) && find(key)->hidden; }
    void setNodeGreyed(const std::string& key, bool greyed) override {
        if (Node* n = find(key)) n->greyed = greyed;
    }
    bool isNodeGreyed(const std::string& key) const { return find(key) && find(key)->greyed; }
    /// Keys a user sees: shown nodes whose category is shown, in display order.
    std::vector<std::string> shownKeys() const {
        std::vector<std::string> out;
        for (const std::string& key : keysInOrder()) {
            const Node* n = find(key);
            if (!n->hidden && !(n->parent && isNodeHidden(*n->parent))) out.push_back(key);
        }
        return out;
    }
    void editLabel(const std::string& key) override { labelEdited.push_back(key); }
    /// The nodes whose label editor was opened, in order.
    std::vector<std::string> labelEdited;
    void setDropHighlight(const std::optional<std::string>& key) override { highlight_ = key; }
    std::optional<std::string> dropHighlight() const override { return highlight_; }
    std::optional<std::string> hitTest(int x, int y) const override {
        const auto it = points_.find({x, y});
        return it != points_.end() && find(it->second) ? std::optional(it->second) : std::nullopt;
    }
    void loadImages() override {}
    void clearImages() override {}
    void beginDrag(const std::string& dragImage) override {
        dragging = true, setDragImage(dragImage);
    }
    void setDragImage(const std::string& dragImage) override { dragImageKey = dragImage; }
    void endDrag() override { dragging = false; }

    /// Places a node under a point for hitTest; points without a node hit nothing.
    void placeAt(int x, int y, const std::string& key) { points_[{x, y}] = key; }

    bool dragging = false;
    std::string dragImageKey;

private:
    Node* find(const std::string& key) const {
        for (Node& n : nodes_)
            if (n.key == key) return &n;
        return nullptr;
    }

    mutable std::vector<Node> nodes_; // found nodes may be changed
    std::optional<std::string> selected_, highlight_;
    std::map<std::pair<int, int>, std::string> points_;
};

/// A chart pane that keeps what it was last asked to show.
class FakeChart : public Shown<ChartControl> {
public:
    void showPlot(const ChartPlot& p) override { plot = p, note.clear(), ++shows; }
    void showNote(const std::string& n) override { plot.reset(), note = n, ++shows; }
    std::optional<ChartPlot> plot;
    std::string note;
    int shows = 0; ///< curves and notes given since it was last set to 0
};

class FakePopupMenu : public PopupMenu {
public:
    void popup(int globalX, int globalY) override { shownAt.push_back({globalX, globalY}); }
    std::vector<std::pair<int, int>> shownAt;
};

} // namespace mb::fake
