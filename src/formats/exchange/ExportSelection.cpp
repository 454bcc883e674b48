#include "ExportSelection.h"

#include "Library.h"
#include "LibraryFile.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"

#include <array>

namespace mb {

namespace {

// The record's texts as clsMaterial::Save writes them, without changing the record.
ExportedMaterial Exported(const clsMaterial& record) {
    ExportedMaterial m;
    const std::string& name = record.MaterialName();
    m.name = std::string(trimRightBlanks(name));
    const std::string& code = record.MaterialNameCode();
    m.nameCode =
        trimBlanks(code).empty()
            ? std::string(trimRightBlanks(name.substr(0, std::min<std::size_t>(name.size(), 13))))
            : std::string(trimRightBlanks(code));
    m.description = record.MaterialDescription();
    m.record = &record;
    return m;
}

} // namespace

std::vector<ExportedCategory> exportSelection(const Library& library,
                                              const std::vector<int>& chosen) {
    const int count = library.materialCount();
    std::vector<bool> wanted(static_cast<std::size_t>(std::max(count, 0)), chosen.empty());
    for (const int n : chosen)
        if (n >= 0 && n < count) wanted[static_cast<std::size_t>(n)] = true;
    const CategoryGrouping grouping = groupByCategory(library);
    std::vector<ExportedCategory> categories(grouping.names.size());
    for (std::size_t p = 0; p < grouping.names.size(); ++p)
        categories[p].name = grouping.names[p];
    for (int i = 0; i < count; ++i) {
        const clsMaterial* record = library.Materials()[static_cast<std::size_t>(i)].get();
        if (!wanted[static_cast<std::size_t>(i)] || !record) continue;
        const int p = grouping.categoryOfMaterial[static_cast<std::size_t>(i)];
        categories[static_cast<std::size_t>(p - 1)].materials.push_back(Exported(*record));
    }
    std::erase_if(categories, [](const ExportedCategory& c) { return c.materials.empty(); });
    return categories;
}

std::vector<int> slotsWithValues(const std::vector<ExportedCategory>& selection) {
    std::array<bool, kVisitedSlots> any{};
    for (const ExportedCategory& c : selection)
        for (const ExportedMaterial& m : c.materials)
            for (int slot = 0; slot < kVisitedSlots; ++slot)
                any[static_cast<std::size_t>(slot)] =
                    any[static_cast<std::size_t>(slot)] || m.record->HasValue(slot);
    std::vector<int> slots;
    for (int slot = 0; slot < kVisitedSlots; ++slot)
        if (any[static_cast<std::size_t>(slot)] &&
            !PropertyCatalogue::instance().PropCode(slot).empty())
            slots.push_back(slot);
    return slots;
}

} // namespace mb
