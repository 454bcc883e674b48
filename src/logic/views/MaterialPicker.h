#pragma once

#include "ExchangeDialogs.h"

#include <functional>
#include <string>
#include <vector>

namespace mb {

class Library;

/// The list of a library's materials with check boxes, grouped by category as a save
/// groups them, and the find box above it, which takes the tree's queries. A category's
/// box checks or clears every material of it the find box shows; it is checked when all
/// its materials are. A material checked and then hidden by the find box stays checked.
class MaterialPicker final : public MaterialPickerHandler {
public:
    /// Numbers in the find box are read in `unitSystem` ("IPS", "SI", "MKS") with "." or
    /// `decimalSeparator`. Every material starts unchecked; `fill` shows the lines.
    MaterialPicker(const Library& library, MaterialPickerView& view, std::string unitSystem,
                   std::string decimalSeparator);

    void fill();
    void findBox_Change(const std::string& text) override;
    void line_Check(int line, bool checked) override;

    /// The checked materials' numbers, ascending.
    std::vector<int> checkedMaterials() const;
    const std::vector<PickerLine>& lines() const { return lines_; }

    /// Told after every change of the marks.
    std::function<void()> checksChanged;

private:
    /// Category lines follow their materials' marks and visibility.
    void updateCategories();

    const Library& library_;
    MaterialPickerView& view_;
    std::string unitSystem_;
    std::string decimalSeparator_;
    std::vector<PickerLine> lines_;
};

} // namespace mb
