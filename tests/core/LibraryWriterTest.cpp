#include "LibraryFile.h"

#include "FileOps.h"
#include "Library.h"
#include "ScriptedFileOps.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

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
            EXPECT_EQ(LibraryText(lib, GroupByCategory(lib)), expected) << file;
        }
    }
    EXPECT_EQ(folders, 5);
}

// Saves through the real file system with scripted failures and answers.
class LibraryWriterFile : public ::testing::Test {
protected:
    LibraryWriterFile() { ReadLibraryFile(kRoundTrip + "canonical/input.lib", lib, "."); }

    WriteResult save(test::ScriptedFileOps::Failures failures = {}, std::vector<bool> answers = {},
                     Durability durability = Durability::Flushed) {
        ops.script(std::move(failures), std::move(answers));
        return WriteLibraryFile(target, lib, GroupByCategory(lib), ops, ops, durability);
    }
    long fileCount() const { return std::distance(fs::directory_iterator(dir.path()), {}); }

    test::TempDir dir;
    std::string target = dir.file("lib.lib");
    const std::string old = "MATTYPE:Old\r\nENDTYPE\r\n";
    Library lib;
    test::ScriptedFileOps ops;
    std::vector<std::string>& asked = ops.asked;
};

// The file is made without a name where the file system allows it, else under a temporary
// name; both ways must behave alike.
const std::pair<const char*, test::ScriptedFileOps::Failures> kWays[] = {
    {"unnamed", {}}, {"named", {{{"unnamed", 1}, EOPNOTSUPP}}}};

test::ScriptedFileOps::Failures operator+(test::ScriptedFileOps::Failures a,
                                          const test::ScriptedFileOps::Failures& b) {
    a.insert(b.begin(), b.end());
    return a;
}

TEST_F(LibraryWriterFile, RetryAfterEachFailedStepGivesTheCompleteFile) {
    // Enough materials for several chunks, so the failing write is neither first nor last.
    for (int i = 0; i < 400; ++i) {
        clsMaterial record;
        for (int slot = 0; slot < 22; ++slot)
            record.SetSlotValue(slot, 1000.0 + i + slot);
        lib.AddMaterial({"Bulk", "", "B" + std::to_string(i), ""}, record, clsMaterial());
    }
    const std::string expected = LibraryText(lib, GroupByCategory(lib));
    ASSERT_GT(expected.size(), 3 * kWriteChunk);
    for (const auto& [way, choice] : kWays) {
        SCOPED_TRACE(way);
        test::WriteBytes(target, old);
        EXPECT_EQ(save(choice + test::ScriptedFileOps::Failures{{{"write", 2}, ENOSPC},
                                                                {{"owner", 1}, EIO},
                                                                {{"finish", 1}, EIO},
                                                                {{"rename", 1}, EBUSY}},
                       {true, true, true, true})
                      .status,
                  Status::Written);
        EXPECT_EQ(asked, (std::vector<std::string>{"No space left on device", "Input/output error",
                                                   "Input/output error", "Disk not ready."}));
        EXPECT_EQ(test::ReadBytes(target), expected);
        EXPECT_EQ(fileCount(), 1);
    }
}

TEST_F(LibraryWriterFile, CancelAtAnyStepLeavesTheTargetAsItWasAndNoTemporaryFile) {
    const std::tuple<const char*, int, std::string> cases[] = {
        {"write", ENOSPC, "No space left on device"}, // a full disk
        {"write", EACCES, "Permssion denied (write-protect)."},
        {"finish", EEXIST, "File already exists."},
        {"rename", ENFILE, "Too many files at the same time."},
        {"write", ENODEV, "Device unavailable."},
        {"write", ENOTDIR, "Path not found."},
        {"write", ETXTBSY, "Path - File access error."},
        {"owner", EROFS, "Permssion denied (write-protect)."},
        {"write", EDQUOT, "Disk quota exceeded"}};
    test::WriteBytes(target, old);
    for (const auto& [way, choice] : kWays) {
        for (const auto& [op, err, message] : cases) {
            SCOPED_TRACE(std::string(way) + " " + message);
            EXPECT_EQ(
                save(choice + test::ScriptedFileOps::Failures{{{op, 1}, err}}, {false}).status,
                Status::Cancelled);
            EXPECT_EQ(asked, std::vector<std::string>{message});
            EXPECT_EQ(test::ReadBytes(target), old);
            EXPECT_EQ(fileCount(), 1);
        }
    }
}

TEST_F(LibraryWriterFile, AFileThatCannotBeMadeFailsWithoutAQuestion) {
    const std::string expectedFailure =
        "Cannot save " + target + ": Permssion denied (write-protect).";
    test::WriteBytes(target, old);
    fs::permissions(target, fs::perms::owner_read);
    WriteResult r = save();
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(r.message, expectedFailure);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(test::ReadBytes(target), old);
    EXPECT_EQ(WriteLibraryFile("", lib, GroupByCategory(lib), ops, ops, Durability::Flushed).status,
              Status::NothingToWrite);
    EXPECT_EQ(fileCount(), 1);

    // A new file in a folder where nothing can be made; both ways of making it are refused.
    fs::remove(target);
    r = save({{{"unnamed", 1}, EACCES}});
    EXPECT_EQ(std::tie(r.status, r.message), std::make_tuple(Status::Failed, expectedFailure));
    r = save({{{"unnamed", 1}, EOPNOTSUPP}, {{"create", 1}, EROFS}});
    EXPECT_EQ(std::tie(r.status, r.message), std::make_tuple(Status::Failed, expectedFailure));
    EXPECT_EQ(fileCount(), 0);
}

TEST_F(LibraryWriterFile, EitherDurabilityReplacesTheTargetWithTheWholeFile) {
    for (const Durability d : {Durability::Flushed, Durability::Ordered}) {
        test::WriteBytes(target, old);
        ASSERT_EQ(save({}, {}, d).status, Status::Written);
        EXPECT_EQ(ops.finishedWith, std::vector<Durability>{d});
        EXPECT_EQ(test::ReadBytes(target), test::ReadBytes(kRoundTrip + "canonical/expected.lib"));
        EXPECT_EQ(fileCount(), 1);
    }
}

} // namespace
} // namespace mb
