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

// What the round-trip fixtures cannot hold: codes and names too long for their fields,
// a blank code, and categories that differ in case and blanks.
Library Crafted() {
    Library lib;
    Add(lib, " Metals    ", "", "Copper  ", "C11000").CopyProperty("EX", 1.17e11);
    Add(lib, "Plastics    ", "ABCDEFGHIJKLMNOP", "A very long material name exceeding thirty  ", "")
        .CopyProperty("DENS", 1200);
    Add(lib, "METALS    ", "   ", "Zn  ", "");
    return lib;
}

const std::string kCraftedText =
    "MATTYPE:Metals\r\n"
    "MATL:Copper       : Copper                        :C11000\r\n"
    "EX        1697232E1  psi               1193068E0     Kgf/cm^2         11700E7    N/m^2           \r\n"
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

TEST(LibraryWriterText, CraftedLibraryByteForByte) {
    Library empty;
    EXPECT_EQ(Write(empty), "");
    Library lib = Crafted();
    EXPECT_EQ(Write(lib), kCraftedText);
    // A name code filled from the name is kept in the record, not in the index.
    EXPECT_EQ(lib.Material(0).MaterialNameCode(), "Copper       ");
    EXPECT_EQ(lib.Material(2).MaterialNameCode(), "Zn           ");
    EXPECT_EQ(lib.Material(1).MaterialNameCode(), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(lib.Entry(0).NameCode, "");
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
    const std::string text = Write(lib);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    ASSERT_EQ(lines.size(), 93u + 4u);
    for (std::size_t i = 2; i < 2 + 93; ++i) {
        const std::string& line = lines[i];
        SCOPED_TRACE(line);
        ASSERT_EQ(line.size(), 97u);
        const int slot = PropertyCatalogue::instance().FindTolerant(line.substr(0, 10));
        ASSERT_GE(slot, 0);
        EXPECT_EQ(line.substr(37, 2), "  ");
        EXPECT_EQ(line.substr(50, 3), "   ");
        EXPECT_EQ(line.substr(67, 3), "   "); // columns 68 to 70
        EXPECT_EQ(line.substr(21, 16), UnitsIPS(slot));
        EXPECT_EQ(line.substr(53, 17), PadRight(UnitsMKS(slot), 17));
        EXPECT_EQ(line.substr(81, 16), UnitsSI(slot));
        EXPECT_EQ(line.substr(70, 11), FormatNumberText(values[slot]));
    }
}

// --- Through files --------------------------------------------------------------------

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
        return step("create", [&] { return real().createTemp(d, s, p, fd); });
    }
    int writeAt(int fd, std::string_view data, long long offset) override {
        const int e = step("write", [] { return 0; });
        if (e) real().writeAt(fd, data.substr(0, data.size() / 2), offset);
        return e ? e : real().writeAt(fd, data, offset);
    }
    int finish(int fd, unsigned mode) override {
        return step("finish", [&] { return real().finish(fd, mode); });
    }
    int rename(const std::string& from, const std::string& to) override {
        return step("rename", [&] { return real().rename(from, to); });
    }
    void discard(int fd, const std::string& path) override { real().discard(fd, path); }

private:
    static FileOps& real() { return SystemFileOps(); }
    template <class Real> int step(const std::string& op, Real&& realStep) {
        const int n = ++calls[op];
        for (const Failure& f : failures)
            if (f.op == op && f.call == n) return f.err;
        return realStep();
    }
};

// Answers the Retry/Cancel question from a script; Cancel once the script runs out.
class ScriptedPrompt : public WriteErrorPrompt {
public:
    std::vector<bool> answers;
    std::vector<std::string> asked;
    bool retry(const std::string& message) override {
        asked.push_back(message);
        return asked.size() <= answers.size() && answers[asked.size() - 1];
    }
};

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class RoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(RoundTrip, ReadThenWriteGivesTheExpectedFile) {
    const std::string dir = std::string(test::kDataDir) + "/roundtrip/" + GetParam();
    Library lib;
    ASSERT_EQ(ReadLibraryFile(dir + "/input.lib", lib, ".").status, ReadResult::Status::Loaded);
    test::TempDir out;
    ScriptedPrompt prompt;
    ASSERT_EQ(WriteLibraryFile(out.file("out.lib"), lib, GroupByCategory(lib), prompt).status,
              Status::Written);
    EXPECT_TRUE(prompt.asked.empty());
    const std::string written = test::ReadBytes(out.file("out.lib"));
    EXPECT_EQ(written, test::ReadBytes(dir + "/expected.lib"));
    // Writing what was written reproduces it: nothing drifts on a second save.
    Library again = ReadText(written);
    EXPECT_EQ(Write(again), written);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RoundTrip,
                         ::testing::Values("canonical", "hand-edited", "grouping"));

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
    // Runs the next save with only `failures` scripted and `answers` to give.
    WriteResult saveFailing(std::vector<ScriptedFileOps::Failure> failures, std::vector<bool> answers) {
        ops.calls.clear();
        ops.failures = std::move(failures);
        prompt.asked.clear();
        prompt.answers = std::move(answers);
        return save(target);
    }
};

TEST_F(LibraryWriterFile, RetryAfterFailedStepsGivesTheCompleteFile) {
    test::WriteBytes(target, old);
    const WriteResult r =
        saveFailing({{"write", 1, ENOSPC}, {"finish", 1, EIO}, {"rename", 1, EBUSY}}, {true, true, true});
    EXPECT_EQ(r.status, Status::Written);
    EXPECT_EQ(test::ReadBytes(target), kCraftedText);
    EXPECT_EQ(prompt.asked, (std::vector<std::string>{std::strerror(ENOSPC), std::strerror(EIO),
                                                      "Disk not ready."}));
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"lib.lib"});
}

TEST_F(LibraryWriterFile, RetryOfAChunkInTheMiddleOfALargeLibraryLosesNothing) {
    // Enough materials for several chunks, so the failing write is neither first nor last.
    for (int i = 0; i < 400; ++i) {
        clsMaterial& m = Add(lib, "Bulk", "", "Bulk " + std::to_string(i) + "  ", "");
        for (int slot = 0; slot < 22; ++slot) m.SetSlotValue(slot, 1000.0 + i + slot);
    }
    const std::string expected = Write(lib);
    ASSERT_GT(expected.size(), 3 * kWriteChunk);
    ASSERT_EQ(saveFailing({{"write", 2, ENOSPC}, {"write", 3, ENOSPC}}, {true, true}).status,
              Status::Written);
    EXPECT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(test::ReadBytes(target), expected);
}

TEST_F(LibraryWriterFile, CancelLeavesTheTargetAsItWasAndNoTemporaryFile) {
    for (const char* op : {"write", "finish", "rename"}) {
        SCOPED_TRACE(op);
        test::WriteBytes(target, old);
        EXPECT_EQ(saveFailing({{op, 1, EACCES}}, {false}).status, Status::Cancelled);
        EXPECT_EQ(prompt.asked, std::vector<std::string>{"Permssion denied (write-protect)."});
        EXPECT_EQ(test::ReadBytes(target), old);
        EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"lib.lib"});
    }
}

TEST_F(LibraryWriterFile, EachWriteErrorIsShownWithItsMessage) {
    const std::pair<int, std::string> cases[] = {
        {EEXIST, "File already exists."},  {EMFILE, "Too many files at the same time."},
        {ENXIO, "Device unavailable."},    {EACCES, "Permssion denied (write-protect)."},
        {ENOENT, "Path not found."},       {EISDIR, "Path - File access error."},
        {EIO, std::strerror(EIO)},         {EDQUOT, std::strerror(EDQUOT)}};
    for (const auto& [err, message] : cases) {
        EXPECT_EQ(saveFailing({{"write", 1, err}}, {false}).status, Status::Cancelled) << message;
        EXPECT_EQ(prompt.asked, std::vector<std::string>{message});
    }
    EXPECT_FALSE(fs::exists(target));
}

// A target in a missing folder or that is a folder fails the same way; the tool's tests
// show those messages.
TEST_F(LibraryWriterFile, AFileThatCannotBeMadeFailsTheSaveWithoutAQuestion) {
    test::WriteBytes(target, old);
    WriteResult r = saveFailing({{"create", 1, EMFILE}}, {});
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(r.message, "Cannot save " + target + ": Too many files at the same time.");
    EXPECT_EQ(test::ReadBytes(target), old);

    ops.failures.clear();
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    r = save(target);
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(r.message, "Cannot save " + target + ": Permssion denied (write-protect).");
    EXPECT_EQ(test::ReadBytes(target), old);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"lib.lib"});
    EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(LibraryWriterFile, ReplacingKeepsTheFilesPermissionsAndSymbolicLinks) {
    test::WriteBytes(target, old);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(save(target).status, Status::Written);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    const std::string link = dir.file("link.lib");
    fs::create_symlink(target, link);
    test::WriteBytes(target, old);
    ASSERT_EQ(save(link).status, Status::Written);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::ReadBytes(target), kCraftedText);
}

TEST_F(LibraryWriterFile, EmptyFileNameWritesNothing) {
    EXPECT_EQ(save("").status, Status::NothingToWrite);
    EXPECT_TRUE(ops.calls.empty());
    EXPECT_TRUE(Entries(dir.path()).empty());
}

} // namespace
} // namespace mb
