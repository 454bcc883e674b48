#pragma once

// Libraries made material by material, their texts padded or not as a test needs them.

#include "Library.h"

#include <initializer_list>
#include <utility>
#include <vector>

namespace mb::test {

struct Crafted {
    const char* category;
    const char* name;
    const char* nameCode;
    const char* description;
    std::vector<std::pair<int, double>> values; // slot, SI value
};

/// The materials as given, each with an empty shadow.
inline Library Make(std::initializer_list<Crafted> materials) {
    Library library;
    library.clear();
    for (const Crafted& c : materials) {
        clsMaterial record;
        for (const auto& [slot, si] : c.values)
            record.setSlotValue(slot, si);
        library.addMaterial({c.category, c.nameCode, c.name, c.description}, record, clsMaterial());
    }
    return library;
}

} // namespace mb::test
