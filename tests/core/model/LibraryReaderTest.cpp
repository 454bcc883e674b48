#include "LibraryFile.h"

#include "FileOps.h"
#include "Library.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "ScriptedFileOps.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <sstream>
#include <sys/stat.h>

namespace mb {
namespace {

// Odd lines and line ends are shown byte for byte by the round-trip fixtures; these cases
// pin what a written file cannot show: the texts as held, with their blanks, and inputs
// that leave no trace in a written file.
using Status = ReadResult::Status;
namespace fs = std::filesystem;

// A property line as far as the reader cares: the code, then the SI value from column 71.
std::string Prop(const std::string& code, const std::string& si) {
    return padRight(code, 70) + si + " N/m^2";
}

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    return text;
}

std::string Held(clsMaterial& m) {
    std::string out = m.MaterialType() + "|" + m.MaterialNameCode() + "|" + m.MaterialName() + "|" +
                      m.MaterialDescription() + "|";
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (m.HasValue(slot))
            out += " " + PropertyCatalogue::instance().PropCode(slot) + "=" +
                   formatGeneralNumber(m.slotValue(slot), ".");
    return out + "\n";
}

// One line per material as its record holds it; entry and shadow must agree with it.
std::string Summary(Library& lib) {
    std::string out;
    for (int i = 0; i <= lib.LastMaterialIndex(); ++i) {
        const LibraryEntry& e = lib.entry(i);
        out += Held(lib.material(i));
        EXPECT_EQ(Held(lib.shadow(i)), Held(lib.material(i)));
        EXPECT_TRUE(Held(lib.material(i))
                        .starts_with(e.Category + "|" + e.NameCode + "|" + e.Name + "|" +
                                     e.Description + "|"));
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
         Lines(
             {"MATTYPE:Steel   ",
              "MATL:" + padRight("A36CODE", 13) + ": " + padRight("A36 steel", 30) + ":Structural",
              Prop("EX", "20000E7"), "ENDMATL", "ENDTYPE"}),
         "Steel    |A36CODE      |A36 steel  |Structural| EX=200000000000\n"},
        {"category names",
         // A line too short to cut a name from keeps the previous category.
         Lines({"mattype:", "MATL:A", "MATTYPE: Steel", "MATL:B", "MATTYPE", "MATL:C", "MATTYPEX",
                "MATL:D"}),
         "No Category    |A|  ||\n Steel    |B|  ||\n Steel    |C|  ||\nNo Category    |D|  ||\n"},
        {"comma separator", Lines({"MATTYPE:S", "MATL:A", Prop("DENS", "7,85E3")}),
         "S    |A|  || DENS=7850\n", ","},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Library lib;
        EXPECT_EQ(readLibraryText(c.text, lib, c.separator).status, Status::Loaded);
        EXPECT_EQ(Summary(lib), c.summary);
    }
}

TEST(LibraryReader, MaterialsPastTheLimitAreDroppedAndCounted) {
    std::string text = "MATTYPE:Many\r\n";
    for (int i = 0; i < 1003; ++i)
        text += "MATL:M\r\n" + Prop("EX", std::to_string(i)) + "\r\nENDMATL\r\n";
    Library lib;
    const ReadResult r = readLibraryText(text, lib, ".");
    EXPECT_EQ(r.droppedMaterials, 2);
    EXPECT_EQ(lib.LastMaterialIndex(), 1000);
    EXPECT_EQ(lib.shadow(1000).slotValue(Slot::EX), 1000);
}

// Files that are not libraries, each with the message it must give: none for a file that
// was read but is no library, whose message the caller words. What the file layer refuses
// before reading (pipes, devices, huge files) is the file layer's test; text and file share
// the parser that empties the model.
TEST(LibraryReaderFile, EveryBrokenFixtureGivesItsMessageAndLeavesTheModelAsItSays) {
    const std::string broken = std::string(test::kDataDir) + "/not-libraries/";
    const struct {
        const char* fixture;
        Status status;
        std::string message;
    } cases[] = {
        {"empty.lib", Status::NotALibrary, ""},
        {"blank-first-line.lib", Status::NotALibrary, ""},
        {"indented-category.lib", Status::NotALibrary, ""},
        {"utf16.lib", Status::NotALibrary, ""},
        {"no-such-file.lib", Status::CannotOpen, "it does not exist."},
        {"empty.lib/inside.lib", Status::CannotOpen, "a part of its path is not a folder."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        Library lib;
        readLibraryText(Lines({"MATTYPE:S", "MATL:Kept"}), lib, ".");
        const ReadResult r = ReadLibraryFile(broken + c.fixture, lib, ".");
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.message, c.message);
        if (c.status == Status::CannotOpen) {
            EXPECT_EQ(Summary(lib), "S    |Kept|  ||\n");
        } else {
            EXPECT_EQ(lib.LastMaterialIndex(), -1);
            EXPECT_EQ(lib.entry(0).NameCode, "");
        }
    }
}

TEST(LibraryReaderFile, AFileThatCannotBeReadIsDescribedInWordsAboutReading) {
    test::TempDir dir;
    const std::string loop = dir.file("loop.lib");
    std::filesystem::create_symlink(loop, loop);
    Library lib;
    EXPECT_EQ(ReadLibraryFile(loop, lib, ".").message, "its symbolic links go round in a circle.");
    EXPECT_EQ(ReadLibraryFile(dir.file(std::string(300, 'n')), lib, ".").message,
              "its name is too long.");
    // A file that cannot be read for want of permission is not made here: root reads it.
    EXPECT_EQ(readErrorMessage(EACCES), "you do not have permission to read it.");
    EXPECT_EQ(readErrorMessage(EMFILE), "too many files are open at the same time.");
    EXPECT_EQ(readErrorMessage(EIO), "Input/output error");
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
    EXPECT_EQ(ReadFile(Lines({"MATTYPE:Big", "MATL:A", huge, Prop("EX", "5E0") + huge, "MATL:B",
                              Prop("DENS", "1")})),
              "Big    |A|  || EX=5\nBig    |B|  || DENS=1\n");
}

TEST(LibraryReaderFile, ACategoryNameIsReadWholeOrTheFileIsRefusedNamingTheLine) {
    test::TempDir dir;
    // The longest line kept whole, trailing blanks included.
    const std::string longest(64 * 1024 - 8 - 3, 'c');
    const std::string refusal =
        "line 3 is longer than 65536 characters: its category name cannot be read whole.";
    // In the file the long line crosses a read chunk; in text it is one piece.
    for (const bool fromFile : {true, false}) {
        SCOPED_TRACE(fromFile ? "file" : "text");
        auto read = [&](const std::string& text, Library& lib) {
            if (!fromFile) return readLibraryText(text, lib, ".");
            test::WriteBytes(dir.file("in.lib"), text);
            return ReadLibraryFile(dir.file("in.lib"), lib, ".");
        };
        Library lib;
        ASSERT_EQ(read(Lines({"MATTYPE:S", "MATL:A", "MATTYPE:" + longest + "   ", "MATL:B"}), lib)
                      .status,
                  Status::Loaded);
        EXPECT_EQ(lib.entry(1).Category, longest + "    ");
        for (const std::string& tooLong : {longest + "c   ", std::string(5 * 1024 * 1024, 'c')}) {
            const ReadResult r =
                read(Lines({"MATTYPE:S", "MATL:A", "mattype:" + tooLong, "MATL:B"}), lib);
            EXPECT_EQ(std::tie(r.status, r.message), std::make_tuple(Status::CannotOpen, refusal));
            // Nothing of a file read in part is kept, so nothing of it can be saved back.
            EXPECT_EQ(lib.LastMaterialIndex(), -1);
            EXPECT_EQ(lib.entry(0).Category, "");
        }
    }
}

// "" for equal texts, else the first line in which they differ, with its number.
std::string FirstDifference(const std::string& got, const std::string& expected) {
    std::istringstream a(got), b(expected);
    std::string x, y;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, x));
        const bool moreB = static_cast<bool>(std::getline(b, y));
        if (!moreA && !moreB) return "";
        if (!moreA || !moreB || x != y)
            return "line " + std::to_string(line) + ": " + (moreA ? x : "(none)") + " <> " +
                   (moreB ? y : "(none)");
    }
}

// Files of a megabyte or more, of every kind that reading them in parts must get right.
struct LargeFile {
    const char* what;
    std::string text;
    bool grouped = false; // in categories that each come in one piece
    const char* separator = ".";
};

std::vector<LargeFile> LargeFiles() {
    // Material i, preceded by what `before(i)` puts there; 20 values make it a kilobyte.
    auto file = [](int count, const std::function<std::string(int)>& before,
                   const std::string& end = "\r\n") {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += before(i);
            text += "MATL:" + padRight("C" + std::to_string(i), 13) + ": " +
                    padRight("Name " + std::to_string(i), 30) + ":About " + std::to_string(i) + end;
            for (int slot = 0; slot < 20; ++slot)
                text += Prop(PropertyCatalogue::instance().PropCode(slot),
                             std::to_string(i) + "." + std::to_string(slot) + "E3") +
                        end;
            text += "ENDMATL" + end;
        }
        return text;
    };
    const auto top = [](int i) { return i == 0 ? std::string("MATTYPE:Steel\r\n") : ""; };
    const std::string overlong = "MATTYPE:" + std::string(70 * 1024, 'c') + "\r\n";
    return {
        {"one category across the middle", file(900, top), true},
        {"a category line before every material",
         file(900, [](int i) { return "MATTYPE:Kind " + std::to_string(i % 7) + "\r\n"; })},
        {"categories too short to name one keep the one before, in either half",
         file(900,
              [](int i) {
                  return i == 0        ? std::string("MATTYPE:Steel\r\n")
                         : i % 5 == 0  ? std::string("MATTYPE\r\n")
                         : i % 50 == 1 ? "MATTYPE:K" + std::to_string(i) + "\r\n"
                                       : "";
              }),
         true},
        {"one category spelled two ways, and another one after it",
         file(900,
              [](int i) {
                  return i == 0     ? std::string("MATTYPE:Steel\r\n")
                         : i == 300 ? std::string("MATTYPE:  STEEL \r\n")
                         : i == 600 ? std::string("MATTYPE:Cast iron\r\n")
                                    : "";
              }),
         true},
        {"line feeds alone",
         file(
             900, [](int i) { return i == 0 ? "MATTYPE:S\n" : ""; }, "\n"),
         true},
        {"materials past the limit", file(1005, top)},
        {"a category line too long, late in the file",
         file(900, [&](int i) { return i == 0     ? "MATTYPE:S\r\n"
                                       : i == 850 ? overlong
                                                  : ""; })},
        {"no library", "MATL:first\r\n" + file(900, top)},
        {"comma separator",
         file(900,
              [](int i) {
                  return i == 0 ? "MATTYPE:S\r\nMATL:x\r\n" + Prop("EX", "7,5E3") + "\r\n" : "";
              }),
         true, ","},
    };
}

// A file of a megabyte or more is read as two halves on two cores, and copied as it is read
// where its categories come in groups: each reading must give what one from the start gives,
// and the copy be what a save of that writes, or leave the target to the caller's own save.
TEST(LibraryReaderFile, ALargeFileReadOrCopiedGivesWhatOneReadingGives) {
    test::TempDir dir;
    const std::string source = dir.file("large.lib"), target = dir.file("out.lib");
    for (const LargeFile& c : LargeFiles()) {
        SCOPED_TRACE(c.what);
        ASSERT_GE(c.text.size(), 1024u * 1024u);
        test::WriteBytes(source, c.text);
        test::WriteBytes(target, "the old library\r\n");
        Library once, halves, copied;
        const ReadResult expected = readLibraryText(c.text, once, c.separator);
        const ReadResult read = ReadLibraryFile(source, halves, c.separator);
        const CopyResult copy = readAndWriteLibraryFile(source, target, copied, c.separator,
                                                        systemFileOps(), Durability::Ordered);
        for (const ReadResult* got : {&read, &copy.read})
            EXPECT_EQ(std::tie(got->status, got->message, got->droppedMaterials),
                      std::tie(expected.status, expected.message, expected.droppedMaterials));
        EXPECT_EQ(FirstDifference(Summary(halves), Summary(once)), "");
        EXPECT_EQ(FirstDifference(Summary(copied), Summary(once)), "");
        EXPECT_EQ(copy.written, c.grouped);
        const std::string expectedText =
            copy.written ? libraryText(once, groupByCategory(once)) : "the old library\r\n";
        EXPECT_EQ(FirstDifference(test::ReadBytes(target), expectedText), "");
        EXPECT_EQ(test::Names(dir.path()).size(), 2u) << "a file was left beside the target";
    }
}

// A copy that cannot go out as it is read leaves the target, for the caller's save to tell.
TEST(LibraryCopy, ATargetThatCannotBeReplacedWhileReadingIsLeftAsItWas) {
    test::TempDir dir;
    const std::string source = dir.file("large.lib"), target = dir.file("out.lib");
    test::WriteBytes(source, LargeFiles().front().text);
    const auto copy = [&](FileOps& ops) {
        test::WriteBytes(target, "the old library\r\n");
        Library library;
        const CopyResult r =
            readAndWriteLibraryFile(source, target, library, ".", ops, Durability::Ordered);
        EXPECT_EQ(r.read.status, Status::Loaded);
        EXPECT_EQ(library.materialCount(), 900);
        return r.written;
    };
    test::ScriptedFileOps ops;
    for (const char* step : {"write", "finish", "rename"}) {
        SCOPED_TRACE(step);
        ops.script({{{step, 1}, ENOSPC}});
        EXPECT_FALSE(copy(ops));
        EXPECT_EQ(test::ReadBytes(target), "the old library\r\n");
        EXPECT_EQ(test::Names(dir.path()).size(), 2u);
    }
    // A target a save left half rewritten is put back, in place, by the caller's save.
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    const std::string kept = dir.file(".out.lib." + std::to_string(st.st_ino) + ".Ab12Cd.old");
    test::WriteBytes(kept, "the library before the save that died\r\n");
    EXPECT_FALSE(copy(systemFileOps()));
    EXPECT_TRUE(fs::exists(kept));
    fs::remove(kept);
    // A target with a second name is rewritten in place: not before the source is read.
    fs::create_hard_link(target, dir.file("link.lib"));
    EXPECT_FALSE(copy(systemFileOps()));
}

} // namespace
} // namespace mb
