#pragma once

#include "Controls.h"
#include "MaterialQuery.h"

#include <optional>
#include <set>
#include <string>

namespace mb {

struct AppState;
class EditorView;

/// "3 matches", "1 match", "No match": what the find box's status says of a query.
std::string matchCountText(int count);

/// The find box above the tree and the filtering it does. It stands between the editor's
/// logic and the real tree: the logic adds, selects and rebuilds through it as through the
/// tree itself, and it hides what the query in the box leaves out.
///
/// While a query is on, a material is shown when it matches, when it is selected, or when
/// a command selected it since the query was typed (an added, pasted or moved material
/// stays in view even when it no longer matches); one shown without matching is greyed.
/// A category is shown when one of its materials is. Numbers in the box are in the unit
/// system shown, or carry their unit, with "." or the user's decimal separator; the count
/// names the system where the query compares numbers ("18 matches, SI"). A text that is no
/// query shows the whole tree and says why in the status.
class TreeFilter final : public TreeControl {
public:
    TreeFilter(TreeControl& tree, AppState& state, ComboBox& unitsCombo, TextBox& findBox,
               Label& findStatus);
    ~TreeFilter() override;
    TreeFilter(const TreeFilter&) = delete;
    TreeFilter& operator=(const TreeFilter&) = delete;

    /// The form whose node click shows a material that Enter selects.
    void attach(EditorView& form) { form_ = &form; }

    /// The box's text changed: the tree shows what it finds.
    void findBox_Change();
    /// Esc: the box is emptied and the whole tree comes back, the selection kept in view.
    void findBox_Escape();
    /// Enter: selects and shows the next match after the selected node, from the top again
    /// after the last.
    void findBox_Enter();
    /// The unit system changed: numbers in the box are read in the new one.
    void unitsCombo_Click() { findBox_Change(); }

    bool isFiltering() const { return query_ && !query_->isEmpty(); }
    int matchCount() const { return matches_; }

    // TreeControl: passed on to the tree; adding and selecting keep the filter's rules.
    void setVisible(bool visible) override { tree_.setVisible(visible); }
    bool isVisible() const override { return tree_.isVisible(); }
    bool addNode(const std::optional<std::string>& parentKey, const std::string& key,
                 const std::string& text, const std::string& image) override;
    bool insertNode(const std::string& parentKey, int index, const std::string& key,
                    const std::string& text, const std::string& image) override;
    /// Refused while a query is on: the materials it keeps in view are held by key.
    bool setNodeKeys(const std::vector<std::pair<std::string, std::string>>& renames) override {
        return !isFiltering() && tree_.setNodeKeys(renames);
    }
    void removeAll() override;
    bool removeNode(const std::string& key) override;
    int nodeCount() const override { return tree_.nodeCount(); }
    bool exists(const std::string& key) const override { return tree_.exists(key); }
    std::optional<std::string> selectedKey() const override { return tree_.selectedKey(); }
    bool select(const std::string& key) override;
    std::string nodeText(const std::string& key) const override { return tree_.nodeText(key); }
    void setNodeText(const std::string& key, const std::string& text) override;
    std::optional<std::string> parentKey(const std::string& key) const override {
        return tree_.parentKey(key);
    }
    int childCount(const std::string& key) const override { return tree_.childCount(key); }
    std::vector<std::string> keysInOrder() const override { return tree_.keysInOrder(); }
    std::vector<TreeBranch> branches() const override { return tree_.branches(); }
    void setImage(const std::string& key, const std::string& image) override {
        tree_.setImage(key, image);
    }
    void ensureVisible(const std::string& key) override { tree_.ensureVisible(key); }
    void setNodeHidden(const std::string& key, bool hidden) override {
        tree_.setNodeHidden(key, hidden);
    }
    void setNodeGreyed(const std::string& key, bool greyed) override {
        tree_.setNodeGreyed(key, greyed);
    }
    bool isExpanded(const std::string& key) const override { return tree_.isExpanded(key); }
    void setExpanded(const std::string& key, bool expanded) override {
        tree_.setExpanded(key, expanded);
    }
    void editLabel(const std::string& key) override { tree_.editLabel(key); }
    void setDropHighlight(const std::optional<std::string>& key) override {
        tree_.setDropHighlight(key);
    }
    std::optional<std::string> dropHighlight() const override { return tree_.dropHighlight(); }
    std::optional<std::string> hitTest(int x, int y) const override { return tree_.hitTest(x, y); }
    void loadImages() override { tree_.loadImages(); }
    void clearImages() override { tree_.clearImages(); }
    void beginDrag(const std::string& dragImage) override { tree_.beginDrag(dragImage); }
    void setDragImage(const std::string& dragImage) override { tree_.setDragImage(dragImage); }
    void endDrag() override { tree_.endDrag(); }

private:
    bool matches(const std::string& key) const;
    bool isPinned(const std::string& text) const;
    /// Hides and shows every node by the rules above and counts the matches.
    void apply();
    /// Shows a node and its category.
    void reveal(const std::string& key);
    void showStatus();

    TreeControl& tree_;
    AppState& state_;
    ComboBox& unitsCombo_;
    TextBox& findBox_;
    Label& findStatus_;
    EditorView* form_ = nullptr;
    int changeListener_ = 0;

    std::optional<MaterialQuery> query_; ///< the last text that was a query
    std::string refusal_;                ///< why the box's text is no query; "" when it is one
    std::set<std::string> pinned_;       ///< names (trimmed, lower case) kept in view
    int matches_ = 0;
};

} // namespace mb
