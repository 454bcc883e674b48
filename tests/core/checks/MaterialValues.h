#pragma once

#include "PropertyCatalogue.h"
#include "clsMaterial.h"

#include <string_view>
#include <utility>
#include <vector>

namespace mb::test {

using Values = std::vector<std::pair<const char*, double>>;

/// A material holding exactly `values` (codes as the catalogue spells them, values in SI).
inline clsMaterial MaterialWith(const Values& values) {
    clsMaterial m;
    for (const auto& [code, v] : values)
        m.setSlotValue(PropertyCatalogue::instance().findExact(code), v);
    return m;
}

/// The 21 values MC11..MC66: `diagonal` on the diagonal and 0 off it, then `changed` in
/// place of those, less `missing`.
inline Values Matrix(double diagonal, const Values& changed = {}, std::string_view missing = {}) {
    static const char* const codes[] = {"MC11", "MC12", "MC13", "MC14", "MC15", "MC16", "MC22",
                                        "MC23", "MC24", "MC25", "MC26", "MC33", "MC34", "MC35",
                                        "MC36", "MC44", "MC45", "MC46", "MC55", "MC56", "MC66"};
    Values values;
    for (const char* code : codes)
        if (code != missing) values.emplace_back(code, code[2] == code[3] ? diagonal : 0);
    // A value set twice keeps the later one.
    values.insert(values.end(), changed.begin(), changed.end());
    return values;
}

} // namespace mb::test
