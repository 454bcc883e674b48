#include "MaterialPicker.h"

#include "Library.h"
#include "LibraryFile.h"
#include "MaterialQuery.h"
#include "TextUtil.h"
#include "TreeFilter.h"

#include <algorithm>

namespace mb {

MaterialPicker::MaterialPicker(const Library& library, MaterialPickerView& view,
                               std::string unitSystem, std::string decimalSeparator)
    : library_(library), view_(view), unitSystem_(std::move(unitSystem)),
      decimalSeparator_(std::move(decimalSeparator)) {}

void MaterialPicker::fill() {
    const CategoryGrouping grouping = groupByCategory(library_);
    std::vector<std::vector<int>> members(grouping.names.size());
    for (int n = 0; n < library_.materialCount(); ++n)
        members[static_cast<std::size_t>(grouping.categoryOfMaterial[static_cast<std::size_t>(n)] -
                                         1)]
            .push_back(n);
    lines_.clear();
    for (std::size_t p = 0; p < members.size(); ++p) {
        if (members[p].empty()) continue;
        lines_.push_back({-1, grouping.names[p]});
        for (const int n : members[p])
            lines_.push_back({n, std::string(trimBlanks(library_.entry(n).Name))});
    }
    view_.showLines(lines_);
    view_.setStatus("");
}

void MaterialPicker::findBox_Change(const std::string& text) {
    QueryParse parsed = MaterialQuery::parse(text, unitSystem_, decimalSeparator_);
    if (!parsed.query) {
        // The list stays as the last query left it, as the tree's does.
        view_.setStatus(parsed.error);
        return;
    }
    const MaterialQuery& query = *parsed.query;
    const clsMaterial none;
    int matches = 0;
    for (PickerLine& line : lines_) {
        if (line.material < 0) continue;
        const clsMaterial* record =
            library_.hasRecord(line.material)
                ? library_.Materials()[static_cast<std::size_t>(line.material)].get()
                : &none;
        line.hidden = !query.matches(library_.entry(line.material), *record);
        matches += !line.hidden;
    }
    updateCategories();
    view_.showLines(lines_);
    view_.setStatus(query.isEmpty() ? "" : matchCountText(matches));
}

void MaterialPicker::line_Check(int line, bool checked) {
    if (line < 0 || line >= static_cast<int>(lines_.size())) return;
    auto at = lines_.begin() + line;
    if (at->material >= 0) {
        at->checked = checked;
    } else {
        for (auto m = at + 1; m != lines_.end() && m->material >= 0; ++m)
            if (!m->hidden) m->checked = checked;
    }
    updateCategories();
    view_.showLines(lines_);
    if (checksChanged) checksChanged();
}

void MaterialPicker::updateCategories() {
    for (auto c = lines_.begin(); c != lines_.end(); ++c) {
        if (c->material >= 0) continue;
        bool all = true, anyShown = false;
        for (auto m = c + 1; m != lines_.end() && m->material >= 0; ++m) {
            all = all && m->checked;
            anyShown = anyShown || !m->hidden;
        }
        c->checked = all;
        c->hidden = !anyShown;
    }
}

std::vector<int> MaterialPicker::checkedMaterials() const {
    std::vector<int> numbers;
    for (const PickerLine& line : lines_)
        if (line.material >= 0 && line.checked) numbers.push_back(line.material);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

} // namespace mb
