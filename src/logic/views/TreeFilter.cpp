#include "TreeFilter.h"

#include "AppState.h"
#include "EditorView.h"
#include "NodeKey.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <algorithm>

namespace mb {

std::string matchCountText(int count) {
    if (count == 0) return "No match";
    if (count == 1) return "1 match";
    return std::to_string(count) + " matches";
}

TreeFilter::TreeFilter(TreeControl& tree, AppState& state, ComboBox& unitsCombo, TextBox& findBox,
                       Label& findStatus)
    : tree_(tree), state_(state), unitsCombo_(unitsCombo), findBox_(findBox),
      findStatus_(findStatus) {
    // An edit can make a material match the query or stop matching it; what a command
    // selected stays in view all the same.
    changeListener_ = state_.history.addListener([this](const LibraryChange&) {
        if (isFiltering()) apply();
    });
}

TreeFilter::~TreeFilter() {
    state_.history.removeListener(changeListener_);
}

bool TreeFilter::matches(const std::string& key) const {
    if (!isFiltering() || IsCategoryKey(key)) return false;
    const int n = keyTailNumber(key);
    Library& library = state_.library;
    return library.isValidNumber(n) && query_->matches(library.entry(n), library.material(n));
}

bool TreeFilter::isPinned(const std::string& text) const {
    return pinned_.contains(nameKey(text));
}

void TreeFilter::findBox_Change() {
    const std::string text = findBox_.text();
    QueryParse parsed = MaterialQuery::parse(text, unitSystemName(unitsCombo_.listIndex()),
                                             state_.doc.DecimalSeparator);
    if (!parsed.query) {
        // A tree filtered by an earlier text would pass for the answer to this one.
        refusal_ = parsed.error;
        query_.reset();
        pinned_.clear();
        apply();
        return;
    }
    refusal_.clear();
    query_ = std::move(parsed.query);
    pinned_.clear();
    apply();
    if (!isFiltering()) return;
    // Open the categories that hold a match, and bring the first match into view.
    std::optional<std::string> first;
    for (const std::string& key : tree_.keysInOrder()) {
        if (!matches(key)) continue;
        if (const auto parent = tree_.parentKey(key)) tree_.setExpanded(*parent, true);
        if (!first) first = key;
    }
    if (first) tree_.ensureVisible(*first);
}

void TreeFilter::findBox_Escape() {
    findBox_.setText("");
    refusal_.clear();
    query_.reset();
    pinned_.clear();
    apply();
    if (const auto selected = tree_.selectedKey()) tree_.ensureVisible(*selected);
}

void TreeFilter::findBox_Enter() {
    if (!isFiltering()) return;
    const std::vector<std::string> keys = tree_.keysInOrder();
    const auto selected = tree_.selectedKey();
    std::size_t start = 0;
    for (std::size_t i = 0; selected && i < keys.size(); ++i)
        if (keys[i] == *selected) start = i + 1;
    for (std::size_t step = 0; step < keys.size(); ++step) {
        const std::string& key = keys[(start + step) % keys.size()];
        if (!matches(key)) continue;
        if (key == selected) return;
        select(key);
        tree_.ensureVisible(key);
        if (form_) form_->TreeView1_NodeClick(key);
        return;
    }
}

void TreeFilter::apply() {
    const std::optional<std::string> selected = tree_.selectedKey();
    std::string category;
    bool categoryShown = false;
    matches_ = 0;
    const auto closeCategory = [&] {
        if (!category.empty())
            tree_.setNodeHidden(category, isFiltering() && !categoryShown && category != selected);
    };
    for (const std::string& key : tree_.keysInOrder()) {
        if (!tree_.parentKey(key)) {
            closeCategory();
            category = key;
            categoryShown = false;
            continue;
        }
        const bool match = matches(key);
        matches_ += match ? 1 : 0;
        const bool shown = !isFiltering() || match || key == selected || isPinned(nodeText(key));
        tree_.setNodeHidden(key, !shown);
        tree_.setNodeGreyed(key, isFiltering() && !match);
        categoryShown = categoryShown || shown;
    }
    closeCategory();
    showStatus();
}

void TreeFilter::reveal(const std::string& key) {
    tree_.setNodeHidden(key, false);
    if (const auto parent = tree_.parentKey(key)) tree_.setNodeHidden(*parent, false);
}

void TreeFilter::showStatus() {
    findStatus_.setVisible(!refusal_.empty() || isFiltering());
    if (!refusal_.empty()) {
        findStatus_.setCaption(refusal_);
        return;
    }
    if (!isFiltering()) {
        findStatus_.setCaption("");
        return;
    }
    // A number without a unit was read in the system shown: the count says which.
    const auto& conditions = query_->conditions();
    const bool comparesNumbers =
        std::any_of(conditions.begin(), conditions.end(), [](const MaterialQuery::Condition& c) {
            return c.comparison != MaterialQuery::Comparison::HasValue;
        });
    std::string status = matchCountText(matches_);
    if (comparesNumbers) status += ", " + std::string(unitSystemCaption(unitsCombo_.listIndex()));
    findStatus_.setCaption(status);
}

bool TreeFilter::addNode(const std::optional<std::string>& parentKey, const std::string& key,
                         const std::string& text, const std::string& image) {
    if (!tree_.addNode(parentKey, key, text, image)) return false;
    if (!isFiltering()) return true;
    if (!parentKey) {
        // Shown once one of its materials is.
        tree_.setNodeHidden(key, true);
        return true;
    }
    const bool match = matches(key);
    if (match) {
        ++matches_;
        showStatus();
    }
    tree_.setNodeGreyed(key, !match);
    if (match || isPinned(text))
        reveal(key);
    else
        tree_.setNodeHidden(key, true);
    return true;
}

bool TreeFilter::insertNode(const std::string& parentKey, int index, const std::string& key,
                            const std::string& text, const std::string& image) {
    // Only a tree shown whole is changed in place (see setNodeKeys).
    return !isFiltering() && tree_.insertNode(parentKey, index, key, text, image);
}

void TreeFilter::removeAll() {
    tree_.removeAll();
    matches_ = 0;
    showStatus();
}

bool TreeFilter::removeNode(const std::string& key) {
    const bool match = matches(key);
    if (!tree_.removeNode(key)) return false;
    if (match) {
        --matches_;
        showStatus();
    }
    return true;
}

bool TreeFilter::select(const std::string& key) {
    if (!tree_.select(key)) return false;
    // What a command selects is what it acts on and shows: it must not be hidden, and it
    // stays in view until the query changes.
    if (isFiltering()) {
        reveal(key);
        if (!IsCategoryKey(key)) {
            pinned_.insert(nameKey(tree_.nodeText(key)));
            tree_.setNodeGreyed(key, !matches(key));
        }
    }
    return true;
}

void TreeFilter::setNodeText(const std::string& key, const std::string& text) {
    if (isPinned(tree_.nodeText(key))) pinned_.insert(nameKey(text));
    tree_.setNodeText(key, text);
}

} // namespace mb
