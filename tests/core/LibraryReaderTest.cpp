#include "model/LibraryFile.h"

#include "TempDir.h"
#include "materials/NumberText.h"
#include "materials/PropertyCatalogue.h"
#include "materials/TextUtil.h"
#include "model/FileOps.h"
#include "model/Library.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

// Odd lines and line ends are shown byte for byte by the round-trip fixtures; these cases
// pin what a written file cannot show: the texts as held, with their blanks, and inputs
// that leave no trace in a written file.
using Status = ReadResult::Status;

// A property line as far as the reader cares: the code, then the SI value from column 71.
std::string Prop(const std::string& code, const std::string& si) { return PadRight(code, 70) + si + " N/m^2"; }

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

std::string Held(clsMaterial& m) {
    std::string out = m.MaterialType() + "|" + m.MaterialNameCode() + "|" + m.MaterialName() + "|" +
                      m.MaterialDescription() + "|";
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (m.HasValue(slot))
            out += " " + PropertyCatalogue::instance().PropCode(slot) + "=" + FormatGeneralNumber(m.SlotValue(slot), ".");
    return out + "\n";
}

// One line per material as its record holds it; entry and shadow must agree with it.
std::string Summary(Library& lib) {
    std::string out;
    for (int i = 0; i <= lib.LastMaterialIndex; ++i) {
        const LibraryEntry& e = lib.Entry(i);
        out += Held(lib.Material(i));
        EXPECT_EQ(Held(lib.Shadow(i)), Held(lib.Material(i)));
        EXPECT_TRUE(Held(lib.Material(i)).starts_with(e.Category + "|" + e.NameCode + "|" + e.Name + "|" + e.Description + "|"));
    }
    return out;
}

std::string ReadFile(const std::string& text) {
    test::TempDir dir;
    test::WriteBytes(dir.file("in.lib"), text);
    Library lib;
    EXPECT_EQ(ReadLibraryFile(dir.file("in.lib"), lib, ".").status, Status::Loaded);
    return Summary(lib);
}

TEST(LibraryReader, LinesFillEntriesRecordsAndShadowsAsHeld) {
    const struct {
        const char* what;
        std::string text, summary;
        const char* separator = ".";
    } cases[] = {
        {"material line",
         Lines({"MATTYPE:Steel   ", "MATL:" + PadRight("A36CODE", 13) + ": " + PadRight("A36 steel", 30) + ":Structural",
                Prop("EX", "20000E7"), "ENDMATL", "ENDTYPE"}),
         "Steel    |A36CODE      |A36 steel  |Structural| EX=200000000000\n"},
        {"category names",
         // A line too short to cut a name from keeps the previous category.
         Lines({"mattype:", "MATL:A", "MATTYPE: Steel", "MATL:B", "MATTYPE", "MATL:C", "MATTYPEX", "MATL:D"}),
         "No Category    |A|  ||\n Steel    |B|  ||\n Steel    |C|  ||\nNo Category    |D|  ||\n"},
        {"comma separator", Lines({"MATTYPE:S", "MATL:A", Prop("DENS", "7,85E3")}), "S    |A|  || DENS=7850\n", ","},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Library lib;
        EXPECT_EQ(ReadLibraryText(c.text, lib, c.separator).status, Status::Loaded);
        EXPECT_EQ(Summary(lib), c.summary);
    }
}

TEST(LibraryReader, MaterialsPastTheLimitAreDroppedAndCounted) {
    std::string text = "MATTYPE:Many\r\n";
    for (int i = 0; i < 1003; ++i) text += "MATL:M\r\n" + Prop("EX", std::to_string(i)) + "\r\nENDMATL\r\n";
    Library lib;
    const ReadResult r = ReadLibraryText(text, lib, ".");
    EXPECT_EQ(r.droppedMaterials, 2);
    EXPECT_EQ(lib.LastMaterialIndex, 1000);
    EXPECT_EQ(lib.Shadow(1000).SlotValue(Slot::EX), 1000);
}

TEST(LibraryReader, AFileThatCannotBeOpenedLeavesTheModelUntouchedOneNotALibraryEmpty) {
    test::TempDir dir;
    Library lib;
    ReadLibraryText(Lines({"MATTYPE:S", "MATL:Kept"}), lib, ".");
    const ReadResult r = ReadLibraryFile(dir.file("missing.lib"), lib, ".");
    EXPECT_EQ(r.status, Status::CannotOpen);
    EXPECT_EQ(r.message, "Path not found.");
    EXPECT_EQ(ReadLibraryFile(dir.path(), lib, ".").message, "Path - File access error.");
    EXPECT_EQ(Summary(lib), "S    |Kept|  ||\n");
    for (const std::string& text : std::initializer_list<std::string>{
             "", "matl:A", "MATL:A\r\nMATTYPE:S", " MATTYPE:S", "\r\nMATTYPE:S", std::string("\0\xffMATTYPE:S", 11)}) {
        EXPECT_EQ(ReadLibraryText(text, lib, ".").status, Status::NotALibrary) << text;
        EXPECT_EQ(lib.LastMaterialIndex, -1);
        EXPECT_EQ(lib.Entry(0).NameCode, "");
    }
    EXPECT_STREQ(kNotALibraryMessage, "This file is not a VELTRA/M material library file!");
}

TEST(LibraryReaderFile, LinesSplitByTheReadChunkAndLinesOfSeveralMegabytes) {
    // The first line is padded so that its CR is the last byte of the first chunk.
    const std::string crLast = "MATTYPE:S" + std::string(kReadChunk - 10, ' ') + "\r";
    EXPECT_EQ(ReadFile(crLast + "\nMATL:A\r\n" + Prop("EX", "5") + "\r\n"), "S    |A|  || EX=5\n");
    // The property line starts 73 bytes before the chunk ends: the cut falls into the SI value.
    const std::string head = "MATTYPE:S" + std::string(kReadChunk - 83 - 9, ' ') + "\r\nMATL:A\r\n";
    ASSERT_EQ(head.size(), kReadChunk - 73);
    EXPECT_EQ(ReadFile(head + Prop("EX", "1234567E-6") + "\r\n"), "S    |A|  || EX=1.234567\n");
    const std::string huge(5 * 1024 * 1024, 'x');
    const std::string summary = ReadFile(
        Lines({"MATTYPE:Big", "MATL:A", huge, Prop("EX", "5E0") + huge, "MATTYPE:Next" + huge, "MATL:B", Prop("DENS", "1")}));
    // The overlong category name may be cut; the materials around it are read whole.
    EXPECT_TRUE(summary.starts_with("Big    |A|  || EX=5\nNextxxxx")) << summary.substr(0, 40);
    EXPECT_TRUE(summary.ends_with("x    |B|  || DENS=1\n")) << summary.substr(summary.size() - 40);
}

} // namespace
} // namespace mb
