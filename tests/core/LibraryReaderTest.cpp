#include "model/LibraryFile.h"

#include "TempDir.h"
#include "TestPaths.h"
#include "materials/NumberText.h"
#include "materials/PropertyCatalogue.h"
#include "materials/TextUtil.h"
#include "model/FileOps.h"
#include "model/Library.h"

#include <gtest/gtest.h>

#include <string>

namespace mb {
namespace {

// Most of what the reader accepts is covered byte for byte by the hand-edited round trip
// of the writer's tests; these cases pin what a written file cannot show: the texts as
// held, with their blanks, and inputs that leave no trace in a written file.

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

// One line per material: its entry as held, then its values. Checks on the way that the
// record carries the entry's texts and that the shadow equals the record.
std::string Summary(Library& lib) {
    std::string out;
    for (int i = 0; i <= lib.LastMaterialIndex; ++i) {
        const LibraryEntry& e = lib.Entry(i);
        clsMaterial& m = lib.Material(i);
        clsMaterial& s = lib.Shadow(i);
        EXPECT_EQ(m.MaterialType() + m.MaterialNameCode() + m.MaterialName() + m.MaterialDescription(),
                  e.Category + e.NameCode + e.Name + e.Description);
        EXPECT_EQ(s.MaterialType() + s.MaterialNameCode() + s.MaterialName() + s.MaterialDescription(),
                  e.Category + e.NameCode + e.Name + e.Description);
        out += e.Category + "|" + e.NameCode + "|" + e.Name + "|" + e.Description + "|";
        for (int slot = 0; slot < kSlotCount; ++slot) {
            EXPECT_EQ(s.HasValue(slot), m.HasValue(slot)) << i << " " << slot;
            if (!m.HasValue(slot)) continue;
            EXPECT_EQ(s.SlotValue(slot), m.SlotValue(slot)) << i << " " << slot;
            out += " " + PropertyCatalogue::instance().PropCode(slot) + "=" +
                   FormatGeneralNumber(m.SlotValue(slot), ".");
        }
        out += "\n";
    }
    return out;
}

std::string Read(const std::string& text, std::string_view separator = ".") {
    Library lib;
    EXPECT_EQ(ReadLibraryText(text, lib, separator).status, Status::Loaded);
    return Summary(lib);
}

std::string ReadFile(const std::string& text) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.lib"), text);
    Library lib;
    EXPECT_EQ(ReadLibraryFile(dir.file("in.lib"), lib, ".").status, Status::Loaded);
    return Summary(lib);
}

TEST(LibraryReaderLines, FillEntriesRecordsAndShadowsAsHeld) {
    const struct {
        const char* what;
        std::string text, summary;
    } cases[] = {
        {"material line",
         Lines({"MATTYPE:Steel   ",
                "MATL:" + PadRight("A36CODE", 13) + ": " + PadRight("A36 steel", 30) + ":Structural",
                Prop("EX", "20000E7"), "ENDMATL", "ENDTYPE"}),
         "Steel    |A36CODE      |A36 steel  |Structural| EX=200000000000\n"},
        {"category names",
         Lines({"mattype:", "MATL:A", "MATTYPE: Steel", "MATL:B", "MATTYPE", "MATL:C", "MATTYPEX",
                "MATL:D"}),
         // A line too short to cut a name from keeps the previous category.
         "No Category    |A|  ||\n Steel    |B|  ||\n Steel    |C|  ||\nNo Category    |D|  ||\n"},
        {"short material lines",
         Lines({"MATTYPE:S", "MATL:", "MATL:CODE         : Name only",
                "MATL:" + std::string(13, 'C') + ": " + std::string(30, 'N') + ":" +
                    std::string(60, 'D')}),
         "S    ||  ||\nS    |CODE         |Name only  ||\nS    |" + std::string(13, 'C') + "|" +
             std::string(30, 'N') + "  |" + std::string(50, 'D') + "|\n"},
        {"property lines",
         // A later line for the same slot wins; a number too large for a double stores nothing.
         Lines({"MATTYPE:S", "MATL:A", Prop("C (Cp)", "1"), Prop("C", "4860000E-4"), "EX 2.5",
                Prop("DENS", "1E999"), Prop("NUXY", "-5E-1")}),
         "S    |A|  || EX=0 NUXY=-0.5 C (Cp)=486\n"},
        {"line ends of any kind, none at the end",
         "MATTYPE:S\rMATL:A\n" + Prop("EX", "5") + "\r\n\r\nMATL:B\r\r" + Prop("KX", "7"),
         "S    |A|  || EX=5\nS    |B|  || KX=7\n"},
        {"carriage returns only", Lines({"MATTYPE:S", "MATL:A", Prop("DENS", "6")}, "\r"),
         "S    |A|  || DENS=6\n"},
        {"a category alone", "MATTYPE:Alone", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Read(c.text), c.summary);
    }
}

TEST(LibraryReaderLines, CommaSeparatorReadsHandEditedCommas) {
    const std::string text = Lines({"MATTYPE:S", "MATL:A", Prop("DENS", "7,85E3")});
    EXPECT_EQ(Read(text, ","), "S    |A|  || DENS=7850\n");
    EXPECT_EQ(Read(text, "."), "S    |A|  || DENS=7\n");
}

TEST(LeadingToken, TextBeforeTheFirstSeparator) {
    EXPECT_EQ(LeadingToken("C (Cp)    123", " "), "C");
    EXPECT_EQ(LeadingToken("ENDTYPE", " "), "ENDTYPE");
    EXPECT_EQ(LeadingToken(" EX", " "), "");
    EXPECT_EQ(LeadingToken("oneXtwo", "x"), "one"); // the separator is found in any case
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

TEST(LibraryReaderReject, FirstLineMustOpenACategoryOrNothingIsLoaded) {
    Library lib;
    ReadLibraryText(Lines({"MATTYPE:S", "MATL:A"}), lib, ".");
    for (const std::string& text : {std::string(), std::string("matl:A"),
                                   std::string("MATL:A\r\nMATTYPE:S\r\n"),
                                   std::string(" MATTYPE:S\r\n"), std::string("\r\nMATTYPE:S")}) {
        EXPECT_EQ(ReadLibraryText(text, lib, ".").status, Status::NotALibrary) << text;
        EXPECT_EQ(lib.LastMaterialIndex, -1);
        EXPECT_EQ(lib.Entry(0).NameCode, "");
    }
    EXPECT_STREQ(kNotALibraryMessage, "This file is not a VELTRA/M material library file!");
}

// --- From files -----------------------------------------------------------------------

TEST(LibraryReaderFile, CannotOpenLeavesTheModelUntouched) {
    test::TempDir dir;
    Library lib;
    ReadLibraryText(Lines({"MATTYPE:S", "MATL:Kept"}), lib, ".");
    ReadResult r = ReadLibraryFile(dir.file("missing.lib"), lib, ".");
    EXPECT_EQ(r.status, Status::CannotOpen);
    EXPECT_EQ(r.message, "Path not found.");
    r = ReadLibraryFile(dir.path(), lib, ".");
    EXPECT_EQ(r.status, Status::CannotOpen);
    EXPECT_EQ(r.message, "Path - File access error.");
    EXPECT_EQ(Summary(lib), "S    |Kept|  ||\n");
}

TEST(LibraryReaderFile, LinesSplitByTheReadChunk) {
    // The first line is padded so that its CR is the last byte of the first chunk.
    std::string head = "MATTYPE:S" + std::string(kReadChunk - 10, ' ') + "\r";
    ASSERT_EQ(head.size(), kReadChunk);
    EXPECT_EQ(ReadFile(head + "\nMATL:A\r\n" + Prop("EX", "5") + "\r\nENDMATL\r\n"),
              "S    |A|  || EX=5\n");
    // The property line starts 73 bytes before the chunk ends: the cut falls into the SI value.
    head = "MATTYPE:S" + std::string(kReadChunk - 83 - 9, ' ') + "\r\nMATL:A\r\n";
    ASSERT_EQ(head.size(), kReadChunk - 73);
    EXPECT_EQ(ReadFile(head + Prop("EX", "1234567E-6") + "\r\nENDMATL\r\n"),
              "S    |A|  || EX=1.234567\n");
}

TEST(LibraryReaderFile, LineOfSeveralMegabytes) {
    const std::string huge(5 * 1024 * 1024, 'x');
    const std::string summary = ReadFile(Lines({"MATTYPE:Big", "MATL:A", huge, Prop("EX", "5E0") + huge,
                                                "MATTYPE:Next" + huge, "MATL:B", Prop("DENS", "1")}));
    // The overlong category name may be cut; the materials around it are read whole.
    EXPECT_TRUE(summary.starts_with("Big    |A|  || EX=5\nNextxxxx")) << summary.substr(0, 40);
    EXPECT_TRUE(summary.ends_with("x    |B|  || DENS=1\n")) << summary.substr(summary.size() - 40);
}

TEST(LibraryReaderFile, BrokenFilesAreReadOrRejectedWithoutHarm) {
    const std::string dir = std::string(test::kDataDir) + "/broken/";
    Library lib;
    EXPECT_EQ(ReadLibraryFile(dir + "binary.lib", lib, ".").status, Status::NotALibrary);
    EXPECT_EQ(lib.LastMaterialIndex, -1);
    EXPECT_EQ(ReadLibraryFile(dir + "garbage-after-header.lib", lib, ".").status, Status::Loaded);
    EXPECT_EQ(Summary(lib), "Garbage    |GOOD         |After garbage  |read on| EX=210000000000\n");
    // A property line cut off before its SI value stores 0.
    EXPECT_EQ(ReadLibraryFile(dir + "truncated.lib", lib, ".").status, Status::Loaded);
    EXPECT_EQ(Summary(lib), "Steel    |A36          |A36  |cut short| EX=0\n");
}

} // namespace
} // namespace mb
