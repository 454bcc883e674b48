#pragma once

#include "PropertyCatalogue.h"
#include "clsMaterial.h"

#include <utility>
#include <vector>

namespace mb::test {

using Values = std::vector<std::pair<const char*, double>>;

/// A material holding exactly `values` (codes as the catalogue spells them, values in SI).
inline clsMaterial MaterialWith(const Values& values) {
    clsMaterial m;
    for (const auto& [code, v] : values)
        m.SetSlotValue(PropertyCatalogue::instance().FindExact(code), v);
    return m;
}

} // namespace mb::test
