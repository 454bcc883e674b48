#pragma once

#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "clsMaterial.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mb::test {

/// Codes as the catalogue spells them, values in SI; written "EX=2e11, C (Cp)=460" in a table.
struct Values : std::vector<std::pair<std::string, double>> {
    using vector::vector;
    Values(const char* text) {
        for (std::string_view rest = text; !rest.empty();) {
            const std::size_t comma = std::min(rest.find(','), rest.size());
            const std::string_view item = trimBlanks(rest.substr(0, comma));
            const std::size_t eq = item.find('=');
            double v = 0;
            const char* end = item.data() + item.size();
            if (const auto r = std::from_chars(item.data() + eq + 1, end, v);
                r.ec != std::errc() || r.ptr != end)
                throw std::invalid_argument(std::string(item)); // a typing slip in a table
            emplace_back(std::string(item.substr(0, eq)), v);
            rest.remove_prefix(std::min(comma + 1, rest.size()));
        }
    }
};

/// A material holding exactly `values`.
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
