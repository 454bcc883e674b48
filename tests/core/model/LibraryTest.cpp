#include "Library.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace mb {
namespace {

// Material "Mn" has an EX of n in its record and 100 + n in its shadow, so a test can tell
// whether entry, record and shadow travelled together.
int Add(Library& lib, const std::string& category, const std::string& name) {
    const int n = lib.addMaterial(category, "", name, "");
    lib.setOriginalValue(n, Slot::EX, 100 + n);
    lib.SetValue(n, "EX", n);
    return n;
}

Library Metals(int count) {
    Library lib;
    for (int i = 0; i < count; ++i)
        Add(lib, "Metals", "M" + std::to_string(i));
    return lib;
}

std::string Number(double v) {
    return v == static_cast<int>(v) ? std::to_string(static_cast<int>(v)) : std::to_string(v);
}

// Per material: entry name, category and description, then the record's name, category,
// description and EX, then the shadow's; "-" for no EX.
std::string Held(Library& lib) {
    std::string out;
    const auto record = [](const clsMaterial& m) {
        return m.MaterialName() + "," + m.MaterialType() + "," + m.MaterialDescription() + "," +
               (m.HasValue(Slot::EX) ? Number(m.slotValue(Slot::EX)) : "-");
    };
    for (int i = 0; i <= lib.LastMaterialIndex(); ++i) {
        const LibraryEntry& e = lib.entry(i);
        out += e.Name + "," + e.Category + "," + e.Description + "/" + record(lib.material(i)) +
               "/" + record(lib.shadow(i)) + " ";
    }
    return out;
}

TEST(LibraryAdd, NumbersMaterialsInOrderWithBothRecordsCarryingTheEntrysTexts) {
    Library lib;
    EXPECT_EQ(lib.addMaterial("Steel    ", "S235 code", "S235  ", "plate"), 0);
    EXPECT_EQ(lib.addMaterial("Steel    ", "", "S355  ", ""), 1);
    EXPECT_EQ(lib.shadow(0).MaterialNameCode() + "|" + lib.material(0).MaterialNameCode(),
              "S235 code|S235 code");
    // Records given with the entry are taken as they are.
    clsMaterial record, shadow;
    record.MaterialName("working");
    record.CopyProperty("EX", 7);
    shadow.MaterialName("as read");
    EXPECT_EQ(lib.addMaterial(LibraryEntry{"C", "", "entry", ""}, record, shadow), 2);
    EXPECT_EQ(Held(lib), "S235  ,Steel    ,plate/S235  ,Steel    ,plate,-/S235  ,Steel    ,plate,- "
                         "S355  ,Steel    ,/S355  ,Steel    ,,-/S355  ,Steel    ,,- "
                         "entry,C,/working,,,7/as read,,,- ");
}

TEST(LibraryAdd, FullLibraryRefusesEveryKindOfAdditionAndStaysAsItWas) {
    Library lib = Metals(kMaxMaterials);
    ASSERT_TRUE(lib.isFull());
    const std::string before = Held(lib);
    EXPECT_EQ(lib.addMaterial("X", "", "late", ""), -1);
    EXPECT_EQ(lib.addMaterial(LibraryEntry{"X", "", "late", ""}, clsMaterial(), clsMaterial()), -1);
    EXPECT_EQ(lib.copyMaterial(3, LibraryEntry{"X", "", "Copy of M3", ""}), -1);
    EXPECT_EQ(lib.insertMaterial(0, lib.snapshot(5)), -1);
    EXPECT_EQ(Held(lib), before);
    // One removal makes room again, at the end.
    lib.removeMaterial(0);
    EXPECT_EQ(lib.addMaterial("X", "", "late", ""), kMaxMaterials - 1);
    EXPECT_EQ(lib.entry(kMaxMaterials - 1).Name + lib.material(kMaxMaterials - 1).MaterialName(),
              "latelate");
}

TEST(LibraryCopy, CopyKeepsEachRecordsValuesUnderTheNewTexts) {
    Library lib = Metals(2);
    lib.SetValue(1, "EX", 55); // an edit never saved travels with the copy's working record
    EXPECT_EQ(lib.copyMaterial(1, LibraryEntry{"Plastics", "code", "Copy of M1", "d"}), 2);
    EXPECT_EQ(Held(lib),
              "M0,Metals,/M0,Metals,,0/M0,Metals,,100 M1,Metals,/M1,Metals,,55/M1,Metals,,101 "
              "Copy of M1,Plastics,d/Copy of M1,Plastics,d,55/Copy of M1,Plastics,d,101 ");
    EXPECT_EQ(lib.material(2).MaterialNameCode() + lib.shadow(2).MaterialNameCode(), "codecode");
    EXPECT_EQ(lib.copyMaterial(3, LibraryEntry{"X", "", "none", ""}), -1);
    EXPECT_EQ(lib.copyMaterial(-1, LibraryEntry{"X", "", "none", ""}), -1);
    EXPECT_EQ(lib.materialCount(), 3);
}

TEST(LibraryRemove, NumbersOfNoMaterialChangeNothing) {
    Library lib = Metals(3);
    const std::string before = Held(lib);
    EXPECT_EQ(lib.removeMaterial(3).entry.Name, "");
    EXPECT_EQ(lib.removeMaterial(-1).entry.Name, "");
    EXPECT_EQ(lib.insertMaterial(4, lib.snapshot(0)), -1);
    EXPECT_EQ(lib.insertMaterial(-1, lib.snapshot(0)), -1);
    EXPECT_EQ(lib.moveMaterialToEnd(3, "X"), -1);
    lib.renameMaterial(3, "X");
    lib.setCategory(-1, "X");
    lib.setDescription(3, "X");
    lib.setEntryTexts(3, LibraryEntry{"X", "", "X", ""});
    lib.setRecords(3, clsMaterial(), clsMaterial());
    lib.setOriginalValue(3, Slot::EX, 9);
    lib.resetToShadow(3);
    lib.ClearValues(3);
    lib.dropValues(-1);
    lib.restore(3, lib.snapshot(0));
    EXPECT_EQ(Held(lib), before);
    // Removing the only material leaves an empty library that adds from number 0, into a
    // slot that holds nothing of the material removed.
    Library one = Metals(1);
    one.removeMaterial(0);
    EXPECT_EQ(one.addMaterial("New", "", "N", ""), 0);
    EXPECT_EQ(Held(one), "N,New,/N,New,,-/N,New,,- ");
}

TEST(LibraryChanges, EachChangeReachesTheListsItIsMeantFor) {
    Library lib = Metals(1);
    // Names and categories reach all three, as the random run shows.
    // The shadow keeps the description it had, for a reset to give back.
    lib.setDescription(0, "grey");
    EXPECT_EQ(Held(lib), "M0,Metals,grey/M0,Metals,grey,0/M0,Metals,,100 ");
    lib.setEntryTexts(0, LibraryEntry{"Typed", "code", "Typed name", "typed"});
    EXPECT_EQ(Held(lib), "Typed name,Typed,typed/M0,Metals,grey,0/M0,Metals,,100 ");
    EXPECT_EQ(lib.entry(0).NameCode, "code");

    lib.SetValue(0, "EX", 2.5);
    lib.SetValue(0, "NUXY", 0.3);
    EXPECT_EQ(Held(lib), "Typed name,Typed,typed/M0,Metals,grey,2.500000/M0,Metals,,100 ");
    lib.ClearValue(0, "EX");
    EXPECT_EQ(Held(lib), "Typed name,Typed,typed/M0,Metals,grey,-/M0,Metals,,100 ");
    lib.resetToShadow(0);
    EXPECT_EQ(Held(lib), "Typed name,Typed,typed/M0,Metals,,100/M0,Metals,,100 ");
    EXPECT_FALSE(lib.material(0).HasValue(Slot::NUXY)) << "the shadow has no NUXY";

    lib.SetValue(0, "NUXY", 0.3);
    lib.ClearValues(0);
    EXPECT_EQ(Held(lib), "Typed name,Typed,typed/M0,Metals,,0/M0,Metals,,100 ");
    EXPECT_TRUE(lib.material(0).HasValue(Slot::NUXY));
    EXPECT_EQ(lib.material(0).slotValue(Slot::NUXY), 0);
    lib.dropValues(0);
    EXPECT_EQ(Held(lib), "Typed name,Typed,typed/M0,Metals,,-/M0,Metals,,100 ");
    EXPECT_FALSE(lib.material(0).HasValue(Slot::NUXY));

    lib.setOriginalValue(0, Slot::EX, 42);
    EXPECT_EQ(Held(lib), "Typed name,Typed,typed/M0,Metals,,42/M0,Metals,,42 ");
    clsMaterial record, shadow;
    record.MaterialName("r");
    shadow.MaterialName("s");
    lib.setRecords(0, record, shadow);
    EXPECT_EQ(Held(lib), "Typed name,Typed,typed/r,,,-/s,,,- ");
}

// A random run of changes, mirrored in a plain list: after every step each material's
// entry, record and shadow must still agree with each other and with the list. Removals,
// insertions at either end and moves, within a category too, are shown here.
TEST(LibraryChanges, RandomRunsKeepEveryMaterialWhole) {
    struct Held {
        std::string name, category;
        std::optional<double> record, shadow; // EX
    };
    const auto texts = [](const std::string& name, const std::string& category) {
        return name + "," + category + "/" + name + "," + category + "/" + name + "," + category;
    };
    const auto ex = [](const clsMaterial& m) {
        return m.HasValue(Slot::EX) ? std::optional<double>(m.slotValue(Slot::EX)) : std::nullopt;
    };
    std::mt19937 random(20261206);
    const auto pick = [&random](int below) {
        return std::uniform_int_distribution<int>(0, below - 1)(random);
    };
    Library lib;
    std::vector<Held> model;
    for (int step = 0; step < 3000; ++step) {
        const int count = static_cast<int>(model.size());
        const int n = count > 0 ? pick(count) : -1, kind = count == 0 ? 0 : pick(8);
        const std::string fresh = "N" + std::to_string(step);
        const std::string category = "C" + std::to_string(pick(4));
        SCOPED_TRACE("step " + std::to_string(step) + ", change " + std::to_string(kind) +
                     " of material " + std::to_string(n));
        switch (kind) {
        case 0:
            ASSERT_EQ(lib.addMaterial(category, "", fresh, ""), count);
            lib.setOriginalValue(count, Slot::EX, step);
            model.push_back({fresh, category, step, step});
            break;
        case 1:
            ASSERT_EQ(lib.copyMaterial(n, LibraryEntry{category, "", fresh, ""}), count);
            model.push_back({fresh, category, model[n].record, model[n].shadow});
            break;
        case 2: { // removed, and put back at either end or between
            const MaterialSnapshot removed = lib.removeMaterial(n);
            const Held kept = model[n];
            model.erase(model.begin() + n);
            if (pick(2) == 0) {
                const int at = pick(count);
                ASSERT_EQ(lib.insertMaterial(at, removed), at);
                model.insert(model.begin() + at, kept);
            }
            break;
        }
        case 3: {
            ASSERT_EQ(lib.moveMaterialToEnd(n, category), count - 1);
            Held moved = model[n];
            moved.category = category;
            model.erase(model.begin() + n);
            model.push_back(moved);
            break;
        }
        case 4:
            lib.renameMaterial(n, fresh);
            model[n].name = fresh;
            break;
        case 5:
            lib.setCategory(n, category);
            model[n].category = category;
            break;
        case 6:
            lib.SetValue(n, "EX", -step);
            model[n].record = -step;
            break;
        case 7:
            lib.resetToShadow(n);
            model[n].record = model[n].shadow;
            break;
        }
        ASSERT_EQ(lib.materialCount(), static_cast<int>(model.size()));
        for (int i = 0; i < lib.materialCount(); ++i) {
            const Held& want = model[static_cast<std::size_t>(i)];
            const LibraryEntry& e = lib.entry(i);
            const clsMaterial &r = lib.material(i), &s = lib.shadow(i);
            ASSERT_EQ(e.Name + "," + e.Category + "/" + r.MaterialName() + "," + r.MaterialType() +
                          "/" + s.MaterialName() + "," + s.MaterialType(),
                      texts(want.name, want.category))
                << "material " << i;
            ASSERT_EQ(std::make_pair(ex(r), ex(s)), std::make_pair(want.record, want.shadow))
                << "material " << i;
        }
    }
}

TEST(LibraryReplace, ReplaceWithGivesBackTheLibraryItReplacedAndDiscardingTheIndexKeepsRecords) {
    Library lib = Metals(2);
    const std::string metals = Held(lib);
    Library other;
    Add(other, "Woods", "Oak");
    Library old = lib.replaceWith(std::move(other));
    EXPECT_EQ(Held(lib), "Oak,Woods,/Oak,Woods,,0/Oak,Woods,,100 ");
    EXPECT_EQ(Held(old), metals);
    old.discardIndex();
    EXPECT_TRUE(old.LibraryIndex().empty());
    EXPECT_EQ(old.entry(1).Name + "|" + old.material(1).MaterialName(), "|M1");
}

} // namespace
} // namespace mb
