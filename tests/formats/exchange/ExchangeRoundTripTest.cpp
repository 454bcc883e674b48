// Every format written and read back over the sample library and the largest library:
// what a save then writes must not change.
#include "CsvExchange.h"
#include "ExportSelection.h"
#include "JsonExchange.h"
#include "LargestLibrary.h"
#include "Library.h"
#include "LibraryFile.h"
#include "TableLayout.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace mb {
namespace {

std::string Saved(Library& library) {
    return libraryText(library, groupByCategory(library));
}

void LoadSample(Library& library) {
    ASSERT_EQ(ReadLibraryFile(MB_SAMPLE_LIBRARY, library, ".").status, ReadResult::Status::Loaded);
}

ImportResult ThroughJson(Library& from, Library& to) {
    return importJson(exportJson(exportSelection(from)), to);
}

ImportResult ThroughCsv(Library& from, Library& to, int system) {
    const Result<CsvSheet> sheet = parseCsv(csvText(exportTable(exportSelection(from), system)));
    EXPECT_TRUE(sheet.ok());
    return sheet ? importAnyLayout(sheet.value(), to) : ImportResult{};
}

struct Source {
    const char* name;
    std::function<void(Library&)> fill;
};

const Source kSources[] = {{"sample", LoadSample}, {"largest", bench::fillLargestLibrary}};

TEST(ExchangeRoundTrip, JsonAndSiCsvGiveTheSameFileByteForByte) {
    for (const Source& source : kSources) {
        Library original;
        source.fill(original);
        const std::string expected = Saved(original);
        Library json, csv;
        const ImportResult fromJson = ThroughJson(original, json);
        EXPECT_EQ(fromJson.message(), "") << source.name;
        EXPECT_EQ(Saved(json), expected) << source.name;
        const ImportResult fromCsv = ThroughCsv(original, csv, UnitSystemIndex::SI);
        EXPECT_EQ(fromCsv.message(), "") << source.name;
        EXPECT_EQ(Saved(csv), expected) << source.name;
    }
}

// IPS and MKS values pass through a conversion and back, so they come back within the
// last bits; texts, categories and which values exist come back exactly.
TEST(ExchangeRoundTrip, CsvInIpsAndMksKeepsTextsAndValuesToRounding) {
    for (const Source& source : kSources) {
        // Read back from its saved text, the library has its materials in the order every
        // export writes them: grouped by category.
        Library filled, original;
        source.fill(filled);
        ASSERT_EQ(readLibraryText(Saved(filled), original, ".").status, ReadResult::Status::Loaded);
        for (const int system : {UnitSystemIndex::IPS, UnitSystemIndex::MKS}) {
            Library back;
            const ImportResult r = ThroughCsv(original, back, system);
            ASSERT_EQ(r.message(), "") << source.name << " " << system;
            ASSERT_EQ(back.materialCount(), original.materialCount());
            for (int i = 0; i < original.materialCount(); ++i) {
                const clsMaterial& a = original.material(i);
                const clsMaterial& b = back.material(i);
                EXPECT_EQ(trimBlanks(a.MaterialName()), trimBlanks(b.MaterialName()));
                EXPECT_EQ(trimBlanks(original.entry(i).Category), b.MaterialType());
                for (int slot = 0; slot < kVisitedSlots; ++slot) {
                    ASSERT_EQ(a.HasValue(slot), b.HasValue(slot)) << i << " " << slot;
                    if (!a.HasValue(slot)) continue;
                    EXPECT_NEAR(b.slotValue(slot), a.slotValue(slot),
                                1e-12 * std::abs(a.slotValue(slot)) + 1e-300)
                        << source.name << " material " << i << " slot " << slot;
                }
            }
        }
    }
}

TEST(ExchangeRoundTrip, ChosenMaterialsAloneAreExportedGroupedAsASaveGroupsThem) {
    Library library;
    library.addMaterial("Steels", "", "A", "");
    library.addMaterial("Polymers", "", "B", "");
    library.addMaterial(" STEELS ", "", "C", "");
    library.setOriginalValue(2, Slot::DENS, 7850);
    const std::vector<ExportedCategory> chosen = exportSelection(library, {2, 1, 7});
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].name, "Steels");
    ASSERT_EQ(chosen[0].materials.size(), 1u);
    EXPECT_EQ(chosen[0].materials[0].name, "C");
    EXPECT_EQ(chosen[0].materials[0].nameCode, "C");
    EXPECT_EQ(chosen[1].name, "Polymers");
    EXPECT_EQ(slotsWithValues(chosen), std::vector<int>{Slot::DENS});
}

} // namespace
} // namespace mb
