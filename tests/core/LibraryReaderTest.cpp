#include "model/LibraryFile.h"

#include "TempDir.h"
#include "TestPaths.h"
#include "materials/TextUtil.h"
#include "model/FileOps.h"
#include "model/Library.h"

#include <gtest/gtest.h>

#include <string>

namespace mb {
namespace {

using Status = ReadResult::Status;

// A property line as far as the reader cares: the code, then the SI value from column 71.
std::string Prop(const std::string& code, const std::string& si) {
    return PadRight(code, 70) + si + " N/m^2";
}

std::string Lines(std::initializer_list<std::string> lines, const char* end = "\r\n") {
    std::string text;
    for (const auto& l : lines) text += l + end;
    return text;
}

Library Read(const std::string& text, std::string_view separator = ".") {
    Library lib;
    const ReadResult r = ReadLibraryText(text, lib, separator);
    EXPECT_EQ(r.status, Status::Loaded);
    return lib;
}

void ExpectShadowsEqualRecords(Library& lib) {
    for (int i = 0; i <= lib.LastMaterialIndex; ++i) {
        clsMaterial& m = lib.Material(i);
        clsMaterial& s = lib.Shadow(i);
        EXPECT_EQ(s.MaterialType(), m.MaterialType()) << i;
        EXPECT_EQ(s.MaterialName(), m.MaterialName()) << i;
        EXPECT_EQ(s.MaterialNameCode(), m.MaterialNameCode()) << i;
        EXPECT_EQ(s.MaterialDescription(), m.MaterialDescription()) << i;
        for (int slot = 0; slot < kVisitedSlots; ++slot) {
            ASSERT_EQ(s.HasValue(slot), m.HasValue(slot)) << i << " " << slot;
            if (m.HasValue(slot)) {
                EXPECT_EQ(s.SlotValue(slot), m.SlotValue(slot)) << i;
            }
        }
    }
}

const std::string kA36 =
    "MATL:" + PadRight("A36CODE", 13) + ": " + PadRight("A36 steel", 30) + ":Structural";

TEST(LibraryReaderLines, MaterialLineFillsEntryRecordAndShadow) {
    Library lib = Read(Lines({"MATTYPE:Steel   ", kA36, Prop("EX", "20000E7"), "ENDMATL",
                              "ENDTYPE"}));
    ASSERT_EQ(lib.LastMaterialIndex, 0);
    const LibraryEntry& e = lib.Entry(0);
    EXPECT_EQ(e.Category, "Steel    ");
    EXPECT_EQ(e.NameCode, "A36CODE      ");
    EXPECT_EQ(e.Name, "A36 steel  ");
    EXPECT_EQ(e.Description, "Structural");
    EXPECT_EQ(lib.Material(0).MaterialType(), "Steel    ");
    EXPECT_EQ(lib.Material(0).MaterialName(), "A36 steel  ");
    EXPECT_EQ(lib.Material(0).MaterialNameCode(), "A36CODE      ");
    EXPECT_EQ(lib.Material(0).SlotValue(Slot::EX), 2e11);
    ExpectShadowsEqualRecords(lib);
}

TEST(LibraryReaderLines, KeywordsInAnyCase) {
    Library lib = Read(Lines({"mattype:Steel", "Matl:X            : Lower", "endmatl"}));
    ASSERT_EQ(lib.LastMaterialIndex, 0);
    EXPECT_EQ(lib.Entry(0).Category, "Steel    ");
    EXPECT_EQ(lib.Entry(0).Name, "Lower  ");
}

TEST(LibraryReaderLines, CategoryNames) {
    Library lib = Read(Lines({"MATTYPE:", "MATL:A", "MATTYPE: Steel", "MATL:B", "MATTYPE",
                              "MATL:C", "MATTYPEX", "MATL:D"}));
    ASSERT_EQ(lib.LastMaterialIndex, 3);
    EXPECT_EQ(lib.Entry(0).Category, "No Category    ");
    EXPECT_EQ(lib.Entry(1).Category, " Steel    ");
    // A line too short to cut a name from keeps the previous category.
    EXPECT_EQ(lib.Entry(2).Category, " Steel    ");
    EXPECT_EQ(lib.Entry(3).Category, "No Category    ");
}

TEST(LibraryReaderLines, ShortMaterialLines) {
    Library lib = Read(Lines({"MATTYPE:S", "MATL:", "MATL:ABC", "MATL:CODE         : Name only",
                              "MATL:" + std::string(13, 'C') + ": " + std::string(30, 'N') + ":" +
                                  std::string(60, 'D')}));
    ASSERT_EQ(lib.LastMaterialIndex, 3);
    EXPECT_EQ(lib.Entry(0).NameCode, "");
    EXPECT_EQ(lib.Entry(0).Name, "  ");
    EXPECT_EQ(lib.Entry(0).Description, "");
    EXPECT_EQ(lib.Entry(1).NameCode, "ABC");
    EXPECT_EQ(lib.Entry(2).Name, "Name only  ");
    EXPECT_EQ(lib.Entry(2).Description, "");
    EXPECT_EQ(lib.Entry(3).Name, std::string(30, 'N') + "  ");
    EXPECT_EQ(lib.Entry(3).Description, std::string(50, 'D'));
}

TEST(LibraryReaderLines, PropertyCodesAndValues) {
    // A later line for the same slot overwrites an earlier one.
    Library lib = Read(Lines({"MATTYPE:S", "MATL:A", Prop("C (Cp)", "1"), Prop("C", "4860000E-4"),
                              "EX 2.5", Prop("ex", "1"), Prop("COLOUR", "3"),
                              Prop("DENS", "1E999"), Prop("NUXY", "-5E-1")}));
    clsMaterial& m = lib.Material(0);
    EXPECT_EQ(m.SlotValue(Slot::SpecificHeat), 486);
    EXPECT_TRUE(m.HasValue(Slot::EX));
    EXPECT_EQ(m.SlotValue(Slot::EX), 0); // the number stops short of column 68
    EXPECT_FALSE(m.HasValue(Slot::DENS)); // too large for a double: nothing stored
    EXPECT_EQ(m.SlotValue(Slot::NUXY), -0.5);
    int held = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) held += m.HasValue(slot);
    EXPECT_EQ(held, 3);
    ExpectShadowsEqualRecords(lib);
}

TEST(LibraryReaderLines, CommaSeparatorReadsHandEditedCommas) {
    const std::string text = Lines({"MATTYPE:S", "MATL:A", Prop("DENS", "7,85E3")});
    EXPECT_EQ(Read(text, ",").Material(0).SlotValue(Slot::DENS), 7850);
    EXPECT_EQ(Read(text, ".").Material(0).SlotValue(Slot::DENS), 7);
}

TEST(LibraryReaderLines, LinesOutsideMaterialsChangeNothing) {
    Library lib = Read(Lines({"MATTYPE:S", Prop("EX", "1"), "MATL:A", Prop("EX", "2"), "ENDMATL",
                              "ENDTYPE", "free text here", "", "   ", "MATL:B", "ENDMATL"}));
    ASSERT_EQ(lib.LastMaterialIndex, 1);
    EXPECT_EQ(lib.Material(0).SlotValue(Slot::EX), 2);
    EXPECT_EQ(lib.Entry(1).Category, "S    ");
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_FALSE(lib.Material(1).HasValue(slot)) << slot;
        EXPECT_EQ(lib.Material(0).HasValue(slot), slot == Slot::EX) << slot;
    }
}

TEST(LibraryReaderLines, EmptyCategoryLeavesNoTrace) {
    Library lib = Read(Lines({"MATTYPE:Unused", "MATTYPE:Used", "MATL:A", "ENDMATL", "ENDTYPE"}));
    EXPECT_EQ(GroupByCategory(lib).names, std::vector<std::string>{"Used"});
}

TEST(LibraryReaderLines, LineEndsOfAnyKindAndNoFinalLineEnd) {
    const std::initializer_list<std::string> lines = {"MATTYPE:S", "MATL:A", Prop("EX", "5"),
                                                      "ENDMATL", "MATL:B", Prop("DENS", "6")};
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string text = Lines(lines, end);
        text.resize(text.size() - std::string(end).size());
        Library lib = Read(text);
        ASSERT_EQ(lib.LastMaterialIndex, 1) << end;
        EXPECT_EQ(lib.Material(0).SlotValue(Slot::EX), 5);
        EXPECT_EQ(lib.Material(1).SlotValue(Slot::DENS), 6);
    }
    Library mixed =
        Read("MATTYPE:S\rMATL:A\n" + Prop("EX", "5") + "\r\n\r\nMATL:B\r\r" + Prop("KX", "7"));
    ASSERT_EQ(mixed.LastMaterialIndex, 1);
    EXPECT_EQ(mixed.Material(0).SlotValue(Slot::EX), 5);
    EXPECT_EQ(mixed.Material(1).SlotValue(19), 7);
}

TEST(LibraryReaderLines, FileOfOneLineWithoutLineEnd) {
    Library lib;
    EXPECT_EQ(ReadLibraryText("MATTYPE:Alone", lib, ".").status, Status::Loaded);
    EXPECT_EQ(lib.LastMaterialIndex, -1);
    EXPECT_EQ(ReadLibraryText("matl:A", lib, ".").status, Status::NotALibrary);
}

TEST(LeadingToken, TextBeforeTheFirstSeparator) {
    EXPECT_EQ(LeadingToken("EX        123", " "), "EX");
    EXPECT_EQ(LeadingToken("C (Cp)    123", " "), "C");
    EXPECT_EQ(LeadingToken("ENDTYPE", " "), "ENDTYPE");
    EXPECT_EQ(LeadingToken(" EX", " "), "");
    EXPECT_EQ(LeadingToken("oneXtwo", "x"), "one"); // the separator is found in any case
    EXPECT_EQ(LeadingToken("", " "), "");
}

TEST(LibraryReaderLimits, MaterialsPastTheLimitAreDroppedAndCounted) {
    std::string text = "MATTYPE:Many\r\n";
    for (int i = 0; i < 1003; ++i)
        text += "MATL:M\r\n" + Prop("EX", std::to_string(i)) + "\r\nENDMATL\r\n";
    Library lib;
    const ReadResult r = ReadLibraryText(text, lib, ".");
    EXPECT_EQ(r.status, Status::Loaded);
    EXPECT_EQ(r.droppedMaterials, 2);
    EXPECT_EQ(lib.LastMaterialIndex, 1000);
    EXPECT_EQ(lib.Material(1000).SlotValue(Slot::EX), 1000);
    EXPECT_EQ(lib.Shadow(1000).SlotValue(Slot::EX), 1000);
}

TEST(LibraryReaderReject, FirstLineMustOpenACategory) {
    Library lib = Read(Lines({"MATTYPE:S", "MATL:A"}));
    for (const std::string& text : {std::string(), std::string("MATL:A\r\nMATTYPE:S\r\n"),
                                   std::string(" MATTYPE:S\r\n"), std::string("\r\nMATTYPE:S")}) {
        const ReadResult r = ReadLibraryText(text, lib, ".");
        EXPECT_EQ(r.status, Status::NotALibrary);
        EXPECT_EQ(lib.LastMaterialIndex, -1);
        EXPECT_EQ(lib.Entry(0).Name, "");
    }
    EXPECT_STREQ(kNotALibraryMessage, "This file is not a VELTRA/M material library file!");
}

// --- From files -----------------------------------------------------------------------

std::string Data(const std::string& relative) {
    return std::string(test::kDataDir) + "/" + relative;
}

TEST(LibraryReaderFile, CannotOpenLeavesTheModelUntouched) {
    test::TempDir dir;
    Library lib = Read(Lines({"MATTYPE:S", "MATL:Kept"}));
    ReadResult r = ReadLibraryFile(dir.file("missing.lib"), lib, ".");
    EXPECT_EQ(r.status, Status::CannotOpen);
    EXPECT_EQ(r.message, "Path not found.");
    r = ReadLibraryFile(dir.path(), lib, ".");
    EXPECT_EQ(r.status, Status::CannotOpen);
    EXPECT_EQ(r.message, "Path - File access error.");
    ASSERT_EQ(lib.LastMaterialIndex, 0);
    EXPECT_EQ(lib.Entry(0).NameCode, "Kept");
}

TEST(LibraryReaderFile, CrLfSplitAcrossTheReadChunk) {
    // The first line is padded so that its CR is the last byte of the first chunk.
    const std::string head = "MATTYPE:S" + std::string(kReadChunk - 10, ' ') + "\r";
    ASSERT_EQ(head.size(), kReadChunk);
    const std::string text =
        head + "\nMATL:A\r\n" + Prop("EX", "5") + "\r\nENDMATL\r\nENDTYPE\r\n";
    test::TempDir dir;
    test::WriteBytes(dir.file("split.lib"), text);
    Library lib;
    ASSERT_EQ(ReadLibraryFile(dir.file("split.lib"), lib, ".").status, Status::Loaded);
    ASSERT_EQ(lib.LastMaterialIndex, 0);
    EXPECT_EQ(lib.Entry(0).Category, "S    ");
    EXPECT_EQ(lib.Material(0).SlotValue(Slot::EX), 5);
}

TEST(LibraryReaderFile, PropertyLineSplitInsideItsValueByTheReadChunk) {
    // The property line starts 73 bytes before the chunk ends: the cut falls into the SI value.
    const std::string head = "MATTYPE:S" + std::string(kReadChunk - 83 - 9, ' ') + "\r\nMATL:A\r\n";
    ASSERT_EQ(head.size(), kReadChunk - 73);
    const std::string text = head + Prop("EX", "1234567E-6") + "\r\nENDMATL\r\n";
    test::TempDir dir;
    test::WriteBytes(dir.file("split.lib"), text);
    Library lib;
    ASSERT_EQ(ReadLibraryFile(dir.file("split.lib"), lib, ".").status, Status::Loaded);
    ASSERT_EQ(lib.LastMaterialIndex, 0);
    EXPECT_EQ(lib.Material(0).SlotValue(Slot::EX), 1.234567);
}

TEST(LibraryReaderFile, LineOfSeveralMegabytes) {
    const std::string huge(5 * 1024 * 1024, 'x');
    const std::string text = Lines({"MATTYPE:Big", "MATL:A", huge, Prop("EX", "5E0") + huge,
                                    "MATTYPE:Next" + huge, "MATL:B", Prop("DENS", "1")});
    test::TempDir dir;
    test::WriteBytes(dir.file("huge.lib"), text);
    Library lib;
    ASSERT_EQ(ReadLibraryFile(dir.file("huge.lib"), lib, ".").status, Status::Loaded);
    ASSERT_EQ(lib.LastMaterialIndex, 1);
    EXPECT_EQ(lib.Material(0).SlotValue(Slot::EX), 5);
    EXPECT_EQ(lib.Entry(1).Category.substr(0, 8), "Nextxxxx");
    EXPECT_EQ(lib.Material(1).SlotValue(Slot::DENS), 1);
}

struct BrokenCase {
    const char* file;
    Status status;
    int lastMaterial;
};

class BrokenFile : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenFile, IsReadOrRejectedWithoutHarm) {
    Library lib;
    const ReadResult r = ReadLibraryFile(Data(std::string("broken/") + GetParam().file), lib, ".");
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_EQ(lib.LastMaterialIndex, GetParam().lastMaterial);
    ExpectShadowsEqualRecords(lib);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, BrokenFile,
                         ::testing::Values(BrokenCase{"empty.lib", Status::NotALibrary, -1},
                                           BrokenCase{"material-first.lib", Status::NotALibrary, -1},
                                           BrokenCase{"blank-first-line.lib", Status::NotALibrary, -1},
                                           BrokenCase{"binary.lib", Status::NotALibrary, -1},
                                           BrokenCase{"garbage-after-header.lib", Status::Loaded, 0},
                                           BrokenCase{"truncated.lib", Status::Loaded, 0}));

TEST(LibraryReaderFile, GarbageBeforeAMaterialIsSkipped) {
    Library lib;
    ReadLibraryFile(Data("broken/garbage-after-header.lib"), lib, ".");
    EXPECT_EQ(lib.Entry(0).Name, "After garbage  ");
    EXPECT_EQ(lib.Entry(0).Description, "read on");
    EXPECT_EQ(lib.Material(0).SlotValue(Slot::EX), 2.1e11);
}

TEST(LibraryReaderFile, TruncatedPropertyLineStoresZero) {
    Library lib;
    ReadLibraryFile(Data("broken/truncated.lib"), lib, ".");
    EXPECT_TRUE(lib.Material(0).HasValue(Slot::EX));
    EXPECT_EQ(lib.Material(0).SlotValue(Slot::EX), 0);
}

} // namespace
} // namespace mb
