#include "LargestLibrary.h"

#include "NumberText.h"
#include "PropertyCatalogue.h"

#include <array>
#include <charconv>
#include <string>

namespace mb::bench {

namespace {

constexpr std::array<const char*, 8> kCategories = {
    "Steels",  "Aluminium Alloys", "Titanium Alloys", "Polymers",
    "Rubbers", "Composites",       "Ceramics",        "Foams"};

std::string Numbered(const char* prefix, int n) {
    char buf[8];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(prefix) + std::string(buf, res.ptr);
}

} // namespace

void fillLargestLibrary(Library& library) {
    library.clear();
    const auto& catalogue = PropertyCatalogue::instance();
    for (int n = 0; n < kMaxMaterials; ++n) {
        const int i = n;
        const LibraryEntry e{std::string(kCategories[i % kCategories.size()]) + "    ",
                             Numbered("BM", i), Numbered("Bench material ", i) + "  ",
                             "Generated for timing the reader and writer"};
        clsMaterial m("SI");
        m.MaterialType(e.Category);
        m.MaterialName(e.Name);
        m.MaterialNameCode(e.NameCode);
        m.MaterialDescription(e.Description);
        const double scale = 1.0 + i / 1000.0;
        for (int slot = 0; slot < kVisitedSlots; ++slot) {
            if (catalogue.PropCode(slot).empty()) continue;
            // Alternate signs and spread the magnitudes over the number-text ranges.
            const double magnitude = (slot % 7 == 0 ? 2.1e11 : slot % 3 == 0 ? 7850.0 : 0.3);
            const double v = (slot % 5 == 4 ? -1.0 : 1.0) * magnitude * scale;
            // Hold the value as its number text reads back, so that reading the written
            // file and saving it again gives the same bytes.
            m.setSlotValue(slot, leadingNumber(formatNumberText(v)).value_or(0));
        }
        clsMaterial shadow;
        shadow.CopyAllProperties(m);
        library.addMaterial(e, std::move(m), std::move(shadow));
    }
}

Library& sharedLargestLibrary() {
    static Library library = [] {
        Library l;
        fillLargestLibrary(l);
        return l;
    }();
    return library;
}

} // namespace mb::bench
