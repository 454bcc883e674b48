#pragma once

// In-memory stand-ins for the editor's controls. They behave like the real widgets as
// far as the logic can tell, and let a test act as the user (click, type, move).

#include "platform/Controls.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mb::fake {

class FakeVisibility : public Visibility {
public:
    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }

private:
    bool visible_ = true;
};

class FakeFrame : public Frame {
public:
    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }

private:
    bool visible_ = true;
};

class FakeButton : public Button {
public:
    explicit FakeButton(std::string caption = "") : caption_(std::move(caption)) {}
    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    std::string caption() const override { return caption_; }

private:
    std::string caption_;
    bool visible_ = true;
    bool enabled_ = true;
};

class FakeLabel : public Label {
public:
    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }
    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }

private:
    std::string caption_;
    bool visible_ = true;
};

class FakeTextBox : public TextBox {
public:
    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }
    std::string text() const override { return text_; }
    void setText(const std::string& text) override {
        text_ = text;
        selStart_ = 0;
        selLength_ = 0;
    }
    void setFocus() override { ++focusRequests; }
    int selStart() const override { return selStart_; }
    void setSelLength(int length) override { selLength_ = length; }

    int selLength() const { return selLength_; }
    void setSelStart(int start) { selStart_ = start; }
    int focusRequests = 0;

private:
    std::string text_;
    bool visible_ = true;
    int selStart_ = 0;
    int selLength_ = 0;
};

class FakeComboBox : public ComboBox {
public:
    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }
    void clear() override {
        items_.clear();
        index_ = -1;
    }
    void addItem(const std::string& text) override { items_.push_back(text); }
    int count() const override { return static_cast<int>(items_.size()); }
    int listIndex() const override { return index_; }
    void setListIndex(int index) override {
        index_ = index >= 0 && index < count() ? index : -1;
    }
    std::string itemText(int index) const override {
        return index >= 0 && index < count() ? items_[static_cast<std::size_t>(index)] : "";
    }

private:
    std::vector<std::string> items_;
    int index_ = -1;
    bool visible_ = true;
};

/// A grid that reports every change of the current cell through `onLeaveCell`, with
/// row(), col() and text() describing the cell being left while the handler runs.
class FakeGrid : public GridControl {
public:
    std::function<void()> onLeaveCell;

    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }
    void setRows(int rows) override;
    int rows() const override { return rows_; }
    void setCols(int cols) override { cols_ = cols; }
    int cols() const override { return cols_; }
    int row() const override { return row_; }
    int col() const override { return col_; }
    void setCurrentCell(int row, int col) override;
    std::string text() const override { return textMatrix(row_, col_); }
    void setText(const std::string& text) override;
    std::string textMatrix(int row, int col) const override;
    void clear() override { cells_.clear(); }
    void autoSizeColumn(int col) override { ++autoSizeRequests[col]; }
    void editCell() override { editing_ = true; }
    void finishEditing() override { editing_ = false; }

    bool isEditing() const { return editing_; }
    /// What the user's typing leaves in the current cell once the editor closes.
    void typeIntoCurrentCell(const std::string& text);
    /// All texts of one row, columns 0..cols-1.
    std::vector<std::string> rowTexts(int row) const;

    std::map<int, int> autoSizeRequests;

private:
    std::map<std::pair<int, int>, std::string> cells_;
    int rows_ = 0, cols_ = 0, row_ = 0, col_ = 0;
    bool visible_ = true;
    bool editing_ = false;
};

/// A tree of category and material nodes addressed by key.
class FakeTree : public TreeControl {
public:
    struct Node {
        std::string key;
        std::string text;
        std::string image;
        std::optional<std::string> parent;
    };

    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }
    bool addNode(const std::optional<std::string>& parentKey, const std::string& key,
                 const std::string& text, const std::string& image) override;
    void removeAll() override;
    bool removeNode(const std::string& key) override;
    int nodeCount() const override { return static_cast<int>(nodes_.size()); }
    bool exists(const std::string& key) const override { return find(key) != nullptr; }
    std::optional<std::string> selectedKey() const override { return selected_; }
    bool select(const std::string& key) override;
    std::string nodeText(const std::string& key) const override;
    void setNodeText(const std::string& key, const std::string& text) override;
    std::optional<std::string> parentKey(const std::string& key) const override;
    int childCount(const std::string& key) const override;
    std::vector<std::string> keysInOrder() const override;
    void setImage(const std::string& key, const std::string& image) override;
    std::string image(const std::string& key) const override;
    void ensureVisible(const std::string&) override {}
    void setDropHighlight(const std::optional<std::string>& key) override { highlight_ = key; }
    std::optional<std::string> dropHighlight() const override { return highlight_; }
    std::optional<std::string> hitTest(int x, int y) const override;
    void loadImages() override { imagesLoaded = true; }
    void clearImages() override { imagesLoaded = false; }
    void beginDrag(const std::string& dragImage) override {
        dragging = true;
        dragImageKey = dragImage;
    }
    void setDragImage(const std::string& dragImage) override { dragImageKey = dragImage; }
    void endDrag() override { dragging = false; }

    /// Places a node under a point for hitTest; points without a node hit nothing.
    void placeAt(int x, int y, const std::string& key) { points_[{x, y}] = key; }

    bool imagesLoaded = false;
    bool dragging = false;
    std::string dragImageKey;

private:
    Node* find(const std::string& key);
    const Node* find(const std::string& key) const;

    std::vector<Node> nodes_;
    std::optional<std::string> selected_;
    std::optional<std::string> highlight_;
    std::map<std::pair<int, int>, std::string> points_;
    bool visible_ = true;
};

class FakePopupMenu : public PopupMenu {
public:
    void popup(int globalX, int globalY) override { shownAt.push_back({globalX, globalY}); }
    std::vector<std::pair<int, int>> shownAt;
};

} // namespace mb::fake
