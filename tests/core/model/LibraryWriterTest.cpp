#include "LibraryFile.h"

#include "Library.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

namespace mb {
namespace {

namespace fs = std::filesystem;
using Status = WriteResult::Status;
const std::string kRoundTrip = std::string(test::kDataDir) + "/roundtrip/";

// Every folder holds a library as found (input.lib) and as this program saves it
// (expected.lib); saving what was saved must change nothing.
TEST(LibraryWriter, EveryRoundTripFixtureSavesByteForByteAndStaysPut) {
    int folders = 0;
    for (const auto& e : fs::directory_iterator(kRoundTrip)) {
        if (!e.is_directory()) continue;
        SCOPED_TRACE(e.path().filename().string());
        ++folders;
        const std::string expected = test::ReadBytes(e.path() / "expected.lib");
        for (const char* file : {"input.lib", "expected.lib"}) {
            Library lib;
            ASSERT_EQ(ReadLibraryFile(e.path() / file, lib, ".").status, ReadResult::Status::Loaded)
                << file;
            EXPECT_EQ(libraryText(lib, groupByCategory(lib)), expected) << file;
        }
    }
    EXPECT_EQ(folders, 5);
}

struct CancelAll : WriteErrorPrompt {
    bool retry(const std::string&) override { return false; }
};

// Enough materials, their categories interleaved, to be formatted in many pieces on two
// threads: the file must still be each category's line, its materials in their order as
// each formats itself, and "ENDTYPE", the categories in the order they first appear.
TEST(LibraryWriter, ALibraryFormattedInPiecesIsOneTextInCategoryOrder) {
    Library lib;
    const char* categories[] = {"Polymers", "Steels", "Glass"};
    for (int i = 0; i < 200; ++i) {
        clsMaterial record;
        for (int slot = 0; slot < 1 + i % 30; ++slot)
            record.setSlotValue(slot, 1.5 * i + slot);
        // Every third material has no name code: the file gives it one, which it keeps.
        const std::string code = i % 3 == 1 ? "" : "K" + std::to_string(i);
        const LibraryEntry entry{categories[i % 7 % 3], code, "M" + std::to_string(i), "about"};
        lib.addMaterial(entry, recordWithTexts(record, entry), clsMaterial());
    }
    std::string expected;
    for (int c = 0; c < 3; ++c) {
        expected += std::string("MATTYPE:") + categories[c] + "\r\n";
        for (int i = 0; i < lib.materialCount(); ++i)
            if (i % 7 % 3 == c) lib.material(i).format(expected);
        expected += "ENDTYPE\r\n";
    }
    test::TempDir dir;
    CancelAll cancel;
    ASSERT_EQ(WriteLibraryFile(dir.file("out.lib"), lib, groupByCategory(lib), cancel).status,
              Status::Written);
    EXPECT_EQ(test::ReadBytes(dir.file("out.lib")), expected);
    for (const int i : {1, 100, 199})
        EXPECT_EQ(lib.material(i).MaterialNameCode(), padRight("M" + std::to_string(i), 13));
}

// One material holding `typed` in every slot that has a code, each value as the grid
// stores what was typed in `system`.
std::string SavedWithTyped(const std::vector<double>& typed, int system) {
    Library lib;
    clsMaterial record;
    const clsUnitConversion units;
    for (int slot = 0; slot < kVisitedSlots; ++slot)
        if (!PropertyCatalogue::instance().PropCode(slot).empty())
            record.setSlotValue(slot, units.ChangeUnits(unitSystemName(system), "SI", slot,
                                                        typed[static_cast<std::size_t>(slot)]));
    lib.addMaterial({"Typed", "", "Typed values", ""}, record, clsMaterial());
    return libraryText(lib, groupByCategory(lib));
}

std::string Resaved(const std::string& text) {
    Library lib;
    EXPECT_EQ(readLibraryText(text, lib, ".").status, ReadResult::Status::Loaded);
    return libraryText(lib, groupByCategory(lib));
}

// Only the SI text is read back: the IPS and MKS texts of the first save must already be
// made from the value the file will give, or every later save moves them.
TEST(LibraryWriter, AValueTypedInAnySystemSavesTheSameTextAfterReadingItBack) {
    std::mt19937_64 random(777);
    std::uniform_int_distribution<int> mantissaDigits(1, 9), exponent(-12, 12), sign(0, 3);
    std::uniform_real_distribution<double> anyFraction(0, 1);
    // What users type: short decimals of any size and sign; and values that round across a
    // change of the digit count (0.9999999, 9999999999.6, -1.0000001).
    auto typedValue = [&](int draw) -> double {
        switch (draw % 4) {
        case 0: {
            long long m = 0;
            for (int d = mantissaDigits(random); d > 0; --d)
                m = m * 10 + static_cast<long long>(random() % 10);
            const double v = static_cast<double>(m) * std::pow(10.0, exponent(random));
            return sign(random) == 0 ? -v : v;
        }
        case 1:
            return (anyFraction(random) - 0.3) * std::pow(10.0, exponent(random));
        case 2: {
            static constexpr double kEdges[] = {1, 1e10, 1e11, -1, 0.1, 1e-5};
            const double edge = kEdges[random() % 6];
            return edge * (1 + (anyFraction(random) - 0.5) * 2e-7);
        }
        default:
            return static_cast<double>(random() % 100000);
        }
    };
    // Values seen moving by a unit in the last digit, typed where they were typed.
    for (const double psi : {777.0, 12345.0}) {
        std::vector<double> typed(kVisitedSlots, 0.0);
        typed[Slot::EX] = psi;
        const std::string first = SavedWithTyped(typed, UnitSystemIndex::IPS);
        EXPECT_EQ(Resaved(first), first) << psi;
    }
    for (int system = 0; system < kUnitSystemCount; ++system) {
        for (int material = 0; material < 300; ++material) {
            std::vector<double> typed(kVisitedSlots);
            for (int slot = 0; slot < kVisitedSlots; ++slot)
                typed[static_cast<std::size_t>(slot)] = typedValue(material + slot);
            const std::string first = SavedWithTyped(typed, system);
            const std::string second = Resaved(first);
            ASSERT_EQ(second, first) << "typed in " << unitSystemName(system);
        }
    }
}

} // namespace
} // namespace mb
