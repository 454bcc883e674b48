#include "model/LibraryFile.h"

#include "TempDir.h"
#include "TestPaths.h"
#include "materials/NumberText.h"
#include "materials/PropertyCatalogue.h"
#include "materials/TextUtil.h"
#include "materials/UnitConversion.h"
#include "model/FileOps.h"
#include "model/Library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace mb {
namespace {

namespace fs = std::filesystem;
using Status = WriteResult::Status;

clsMaterial& Add(Library& lib, const std::string& category, const std::string& code,
                 const std::string& name, const std::string& description) {
    const int n = lib.AppendMaterial();
    lib.Entry(n) = {category, code, name, description};
    clsMaterial& m = lib.Material(n);
    m.MaterialType(category);
    m.MaterialNameCode(code);
    m.MaterialName(name);
    m.MaterialDescription(description);
    return m;
}

Library Crafted() {
    Library lib;
    clsMaterial& copper = Add(lib, " Metals    ", "", "Copper  ", "C11000");
    copper.CopyProperty("FRCANG", 12.5);
    copper.CopyProperty("NUXY", 0.34);
    copper.CopyProperty("EX", 1.17e11);
    Add(lib, "Plastics    ", "ABCDEFGHIJKLMNOP", "A very long material name exceeding thirty  ", "")
        .CopyProperty("DENS", 1200);
    Add(lib, "METALS    ", "", "Brass with a name of 14+ chars  ", "CuZn37").CopyProperty("KX", 109);
    Add(lib, "Metals", "   ", "Zn  ", "");
    return lib;
}

const std::string kCraftedText =
    "MATTYPE:Metals\r\n"
    "MATL:Copper       : Copper                        :C11000\r\n"
    "EX        1697232E1  psi               1193068E0     Kgf/cm^2         11700E7    N/m^2           \r\n"
    "NUXY      340000E-6                    340000E-6                      340000E-6                  \r\n"
    "FRCANG    1250000E-5 Degrees           1250000E-5    Degrees          1250000E-5 Degrees         \r\n"
    "ENDMATL\r\n"
    "MATL:Brass with a : Brass with a name of 14+ chars  :CuZn37\r\n"
    "KX        145785E-8  BTU/in/s/F        260516E-6     Cal/(cm.s.C)     1090000E-4 W/(m.K)         \r\n"
    "ENDMATL\r\n"
    "MATL:Zn           : Zn                            :\r\n"
    "ENDMATL\r\n"
    "ENDTYPE\r\n"
    "MATTYPE:Plastics\r\n"
    "MATL:ABCDEFGHIJKLMNOP: A very long material name exceeding thirty  :\r\n"
    "DENS      433528E-7  lb/in^3           120000E-8     kg/cm^3          1200000E-3 Kgm/m^3         \r\n"
    "ENDMATL\r\n"
    "ENDTYPE\r\n";

std::string Write(Library& lib) { return LibraryText(lib, GroupByCategory(lib)); }

Library ReadText(const std::string& text) {
    Library lib;
    EXPECT_EQ(ReadLibraryText(text, lib, ".").status, ReadResult::Status::Loaded);
    return lib;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

TEST(LibraryWriterText, CraftedLibraryByteForByte) {
    Library lib = Crafted();
    EXPECT_EQ(Write(lib), kCraftedText);
}

TEST(LibraryWriterText, FilledNameCodeIsKeptInTheRecordOnly) {
    Library lib = Crafted();
    Write(lib);
    EXPECT_EQ(lib.Material(0).MaterialNameCode(), "Copper       ");
    EXPECT_EQ(lib.Material(2).MaterialNameCode(), "Brass with a ");
    EXPECT_EQ(lib.Material(3).MaterialNameCode(), "Zn           ");
    EXPECT_EQ(lib.Material(1).MaterialNameCode(), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(lib.Entry(0).NameCode, "");
}

TEST(LibraryWriterText, GroupingFollowsFirstOccurrence) {
    Library lib = Crafted();
    const CategoryGrouping g = GroupByCategory(lib);
    EXPECT_EQ(g.names, (std::vector<std::string>{"Metals", "Plastics"}));
    EXPECT_EQ(g.categoryOfMaterial, (std::vector<int>{1, 2, 1, 1}));
    Library empty;
    EXPECT_EQ(Write(empty), "");
}

TEST(LibraryWriterText, EveryPropertyLineHasTheFixedLayout) {
    std::mt19937_64 rng(97);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-30, 30);
    Library lib;
    clsMaterial& all = Add(lib, "All    ", "ALL", "Every code  ", "");
    std::vector<double> values(kSlotCount);
    for (int slot = 0; slot < kVisitedSlots; ++slot) {
        if (PropertyCatalogue::instance().PropCode(slot).empty()) continue;
        values[slot] = mantissa(rng) * std::pow(10.0, exponent(rng));
        all.SetSlotValue(slot, values[slot]);
    }
    const std::vector<std::string> lines = SplitCrLf(Write(lib));
    ASSERT_EQ(lines.size(), 93u + 4u);
    for (std::size_t i = 2; i < 2 + 93; ++i) {
        const std::string& line = lines[i];
        ASSERT_EQ(line.size(), 97u) << line;
        const int slot = PropertyCatalogue::instance().FindTolerant(line.substr(0, 10));
        ASSERT_GE(slot, 0) << line;
        EXPECT_EQ(line.substr(37, 2), "  ") << line;
        EXPECT_EQ(line.substr(50, 3), "   ") << line;
        EXPECT_EQ(line.substr(67, 3), "   ") << line; // columns 68 to 70
        EXPECT_EQ(line.substr(21, 16), UnitsIPS(slot)) << line;
        EXPECT_EQ(line.substr(53, 17), PadRight(UnitsMKS(slot), 17)) << line;
        EXPECT_EQ(line.substr(81, 16), UnitsSI(slot)) << line;
        EXPECT_EQ(line.substr(70, 11), FormatNumberText(values[slot])) << line;
    }
}

// --- Round trips through files --------------------------------------------------------

class RoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(RoundTrip, ReadThenWriteGivesTheExpectedFile) {
    const std::string dir = std::string(test::kDataDir) + "/roundtrip/" + GetParam();
    Library lib;
    ASSERT_EQ(ReadLibraryFile(dir + "/input.lib", lib, ".").status, ReadResult::Status::Loaded);
    test::TempDir out;
    const std::string target = out.file("out.lib");
    struct NeverAsked : WriteErrorPrompt {
        bool retry(const std::string& message) override {
            ADD_FAILURE() << message;
            return false;
        }
    } prompt;
    ASSERT_EQ(WriteLibraryFile(target, lib, GroupByCategory(lib), prompt).status, Status::Written);
    const std::string written = test::ReadBytes(target);
    EXPECT_EQ(written, test::ReadBytes(dir + "/expected.lib"));
    // Writing what was written reproduces it: nothing drifts on a second save.
    Library again = ReadText(written);
    EXPECT_EQ(Write(again), written);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RoundTrip,
                         ::testing::Values("canonical", "hand-edited", "grouping"));

TEST(LibraryWriterText, WriteReadWriteIsStable) {
    // Values as a file gives them (short decimal texts), categories in mixed case and
    // names and codes within their fields: a second save must not change a byte.
    std::mt19937_64 rng(4711);
    std::uniform_int_distribution<int> mantissa(-99999, 99999), exponent(-40, 40), pick(0, 9);
    const char* categories[] = {"Steel    ", "STEEL    ", " Rubber    ", "Foam    "};
    Library lib;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "Material " + std::to_string(i) + "  ";
        clsMaterial& m = Add(lib, categories[i % 4], i % 3 ? "" : "CODE" + std::to_string(i),
                             name, "Description " + std::to_string(i));
        for (int slot = 0; slot < kVisitedSlots; ++slot)
            if (!PropertyCatalogue::instance().PropCode(slot).empty() && pick(rng) == 0)
                m.SetSlotValue(slot, *LeadingNumber(std::to_string(mantissa(rng)) + "E" +
                                                    std::to_string(exponent(rng))));
    }
    const std::string first = Write(lib);
    Library again = ReadText(first);
    EXPECT_EQ(Write(again), first);
}

// --- Failures ------------------------------------------------------------------------

// The real file system, with scripted failures: call `call` (from 1) of `op` fails with
// `err`. A failing write first writes half of its data, as a full disk would.
class ScriptedFileOps : public FileOps {
public:
    struct Failure {
        std::string op;
        int call;
        int err;
    };
    std::vector<Failure> failures;
    std::map<std::string, int> calls;

    int createTemp(const std::string& d, const std::string& s, std::string& p, int& fd) override {
        if (int e = fail("create")) return e;
        return real().createTemp(d, s, p, fd);
    }
    int writeAt(int fd, std::string_view data, long long offset) override {
        if (int e = fail("write")) {
            real().writeAt(fd, data.substr(0, data.size() / 2), offset);
            return e;
        }
        return real().writeAt(fd, data, offset);
    }
    int finish(int fd, unsigned mode) override {
        if (int e = fail("finish")) return e;
        return real().finish(fd, mode);
    }
    int rename(const std::string& from, const std::string& to) override {
        if (int e = fail("rename")) return e;
        return real().rename(from, to);
    }
    void discard(int fd, const std::string& path) override { real().discard(fd, path); }

private:
    static FileOps& real() { return SystemFileOps(); }
    int fail(const std::string& op) {
        const int n = ++calls[op];
        for (const Failure& f : failures)
            if (f.op == op && f.call == n) return f.err;
        return 0;
    }
};

class ScriptedPrompt : public WriteErrorPrompt {
public:
    std::vector<bool> answers;
    std::vector<std::string> asked;
    bool retry(const std::string& message) override {
        asked.push_back(message);
        if (asked.size() > answers.size()) return false;
        return answers[asked.size() - 1];
    }
};

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class LibraryWriterFile : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string target = dir.file("lib.lib");
    Library lib = Crafted();
    ScriptedFileOps ops;
    ScriptedPrompt prompt;
    const std::string old = "MATTYPE:Old\r\nENDTYPE\r\n";

    WriteResult save(const std::string& file) {
        return WriteLibraryFile(file, lib, GroupByCategory(lib), prompt, ops);
    }
};

TEST_F(LibraryWriterFile, RetryAfterAFailedBlockWriteGivesTheCompleteFile) {
    test::WriteBytes(target, old);
    ops.failures = {{"write", 1, ENOSPC}, {"finish", 1, EIO}, {"rename", 1, EBUSY}};
    prompt.answers = {true, true, true};
    const WriteResult r = save(target);
    EXPECT_EQ(r.status, Status::Written);
    EXPECT_EQ(test::ReadBytes(target), kCraftedText);
    EXPECT_EQ(prompt.asked, (std::vector<std::string>{std::strerror(ENOSPC), std::strerror(EIO),
                                                      "Disk not ready."}));
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"lib.lib"});
}

TEST_F(LibraryWriterFile, CancelLeavesTheTargetAsItWasAndNoTemporaryFile) {
    for (const char* op : {"write", "finish", "rename"}) {
        test::WriteBytes(target, old);
        ops.calls.clear();
        ops.failures = {{op, 1, EACCES}};
        prompt.asked.clear();
        prompt.answers = {false};
        const WriteResult r = save(target);
        EXPECT_EQ(r.status, Status::Cancelled) << op;
        EXPECT_EQ(prompt.asked, std::vector<std::string>{"Permssion denied (write-protect)."});
        EXPECT_EQ(test::ReadBytes(target), old) << op;
        EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"lib.lib"}) << op;
    }
}

struct ErrorCase {
    int err;
    std::string message;
};

class WriteErrorMessage : public LibraryWriterFile,
                          public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(WriteErrorMessage, IsShownWithRetryAndCancel) {
    ops.failures = {{"write", 1, GetParam().err}};
    prompt.answers = {false};
    EXPECT_EQ(save(target).status, Status::Cancelled);
    EXPECT_EQ(prompt.asked, std::vector<std::string>{GetParam().message});
    EXPECT_EQ(FileErrorMessage(GetParam().err), GetParam().message);
    EXPECT_FALSE(fs::exists(target));
}

INSTANTIATE_TEST_SUITE_P(Errors, WriteErrorMessage,
                         ::testing::Values(ErrorCase{EEXIST, "File already exists."},
                                           ErrorCase{EMFILE, "Too many files at the same time."},
                                           ErrorCase{ENXIO, "Device unavailable."},
                                           ErrorCase{EACCES, "Permssion denied (write-protect)."},
                                           ErrorCase{ENOENT, "Path not found."},
                                           ErrorCase{EISDIR, "Path - File access error."},
                                           ErrorCase{EIO, std::strerror(EIO)},
                                           ErrorCase{EDQUOT, std::strerror(EDQUOT)}));

TEST_F(LibraryWriterFile, RetryOfAChunkInTheMiddleOfALargeLibraryLosesNothing) {
    // Enough materials for several chunks, so the failing write is neither first nor last.
    for (int i = 0; i < 400; ++i) {
        clsMaterial& m = Add(lib, "Bulk", "", "Bulk " + std::to_string(i) + "  ", "");
        for (int slot = 0; slot < 22; ++slot) m.SetSlotValue(slot, 1000.0 + i + slot);
    }
    const std::string expected = LibraryText(lib, GroupByCategory(lib));
    ASSERT_GT(expected.size(), 3 * kWriteChunk);
    ops.failures = {{"write", 2, ENOSPC}, {"write", 3, ENOSPC}};
    prompt.answers = {true, true};
    ASSERT_EQ(save(target).status, Status::Written);
    EXPECT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(test::ReadBytes(target), expected);
}

TEST_F(LibraryWriterFile, TemporaryFileThatCannotBeMadeFailsTheSave) {
    test::WriteBytes(target, old);
    ops.failures = {{"create", 1, EMFILE}};
    const WriteResult r = save(target);
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(r.message, "Cannot save " + target + ": Too many files at the same time.");
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_EQ(test::ReadBytes(target), old);
}

TEST_F(LibraryWriterFile, TargetThatIsAFolderOrInAMissingFolderFails) {
    WriteResult r = save(dir.path());
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(r.message, "Cannot save " + dir.path() + ": Path - File access error.");
    const std::string nowhere = dir.file("missing/lib.lib");
    r = save(nowhere);
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(r.message, "Cannot save " + nowhere + ": Path not found.");
    EXPECT_TRUE(Entries(dir.path()).empty());
}

TEST_F(LibraryWriterFile, WriteProtectedTargetIsNotReplaced) {
    test::WriteBytes(target, old);
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const WriteResult r = save(target);
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(r.message, "Cannot save " + target + ": Permssion denied (write-protect).");
    EXPECT_EQ(test::ReadBytes(target), old);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"lib.lib"});
}

TEST_F(LibraryWriterFile, ReplacedFileKeepsItsPermissions) {
    test::WriteBytes(target, old);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(save(target).status, Status::Written);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(LibraryWriterFile, EmptyFileNameWritesNothing) {
    const WriteResult r = save("");
    EXPECT_EQ(r.status, Status::NothingToWrite);
    EXPECT_TRUE(ops.calls.empty());
    EXPECT_TRUE(Entries(dir.path()).empty());
}

} // namespace
} // namespace mb

namespace mb {
namespace {

TEST_F(LibraryWriterFile, SavingThroughASymbolicLinkKeepsTheLink) {
    const std::string real = dir.file("real.lib");
    test::WriteBytes(real, old);
    fs::create_symlink(real, target);
    ASSERT_EQ(save(target).status, Status::Written);
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(test::ReadBytes(real), kCraftedText);
}

} // namespace
} // namespace mb
