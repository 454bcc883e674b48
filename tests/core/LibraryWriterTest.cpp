#include "model/LibraryFile.h"

#include "TempDir.h"
#include "TestPaths.h"
#include "model/FileOps.h"
#include "model/Library.h"

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
            ASSERT_EQ(ReadLibraryFile(e.path() / file, lib, ".").status, ReadResult::Status::Loaded) << file;
            EXPECT_EQ(LibraryText(lib, GroupByCategory(lib)), expected) << file;
        }
    }
    EXPECT_EQ(folders, 5);
}

// Saves through the real file system, except that the scripted call of a step fails with
// the scripted errno; a failing write first writes half of its data, as a full disk would.
// The Retry/Cancel question is answered from a script too, Cancel once it runs out.
class LibraryWriterFile : public ::testing::Test, public FileOps, public WriteErrorPrompt {
protected:
    LibraryWriterFile() { ReadLibraryFile(kRoundTrip + "canonical/input.lib", lib, "."); }

    WriteResult save(std::map<std::pair<std::string, int>, int> failures = {}, std::vector<bool> answers = {},
                     Durability durability = Durability::Flushed) {
        calls.clear();
        failures_ = std::move(failures);
        asked.clear();
        answers_ = std::move(answers);
        finishedWith.clear();
        return WriteLibraryFile(target, lib, GroupByCategory(lib), *this, *this, durability);
    }
    long fileCount() const { return std::distance(fs::directory_iterator(dir.path()), {}); }

    int createTemp(const std::string& d, const std::string& s, std::string& p, int& fd) override {
        return step("create", [&] { return real().createTemp(d, s, p, fd); });
    }
    int writeAt(int fd, std::string_view data, long long offset) override {
        const int e = step("write", [] { return 0; });
        if (e) real().writeAt(fd, data.substr(0, data.size() / 2), offset);
        return e ? e : real().writeAt(fd, data, offset);
    }
    int finish(int fd, unsigned mode, Durability d) override {
        finishedWith.push_back(d);
        return step("finish", [&] { return real().finish(fd, mode, d); });
    }
    int rename(const std::string& a, const std::string& b) override {
        return step("rename", [&] { return real().rename(a, b); });
    }
    void discard(int fd, const std::string& path) override { real().discard(fd, path); }
    bool retry(const std::string& message) override {
        asked.push_back(message);
        return asked.size() <= answers_.size() && answers_[asked.size() - 1];
    }

    test::TempDir dir;
    std::string target = dir.file("lib.lib");
    const std::string old = "MATTYPE:Old\r\nENDTYPE\r\n";
    Library lib;
    std::map<std::string, int> calls;
    std::vector<std::string> asked;
    std::vector<Durability> finishedWith;

private:
    static FileOps& real() { return SystemFileOps(); }
    template <class Real> int step(const std::string& op, Real&& realStep) {
        const auto f = failures_.find({op, ++calls[op]});
        return f != failures_.end() ? f->second : realStep();
    }
    std::map<std::pair<std::string, int>, int> failures_; // (step, call from 1) -> errno
    std::vector<bool> answers_;
};

TEST_F(LibraryWriterFile, RetryAfterEachFailedStepGivesTheCompleteFile) {
    // Enough materials for several chunks, so the failing write is neither first nor last.
    for (int i = 0; i < 400; ++i) {
        const int n = lib.AppendMaterial();
        lib.Entry(n) = {"Bulk", "", "B" + std::to_string(i), ""};
        for (int slot = 0; slot < 22; ++slot) lib.Material(n).SetSlotValue(slot, 1000.0 + i + slot);
    }
    const std::string expected = LibraryText(lib, GroupByCategory(lib));
    ASSERT_GT(expected.size(), 3 * kWriteChunk);
    test::WriteBytes(target, old);
    EXPECT_EQ(save({{{"write", 2}, ENOSPC}, {{"finish", 1}, EIO}, {{"rename", 1}, EBUSY}}, {true, true, true}).status,
              Status::Written);
    EXPECT_EQ(asked, (std::vector<std::string>{strerror(ENOSPC), strerror(EIO), "Disk not ready."}));
    EXPECT_EQ(test::ReadBytes(target), expected);
    EXPECT_EQ(fileCount(), 1);
}

TEST_F(LibraryWriterFile, CancelAtAnyStepLeavesTheTargetAsItWasAndNoTemporaryFile) {
    const std::tuple<const char*, int, std::string> cases[] = {
        {"write", EACCES, "Permssion denied (write-protect)."}, {"finish", EEXIST, "File already exists."},
        {"rename", ENFILE, "Too many files at the same time."}, {"write", ENODEV, "Device unavailable."},
        {"write", ENOTDIR, "Path not found."}, {"write", ETXTBSY, "Path - File access error."},
        {"write", EDQUOT, strerror(EDQUOT)}};
    test::WriteBytes(target, old);
    for (const auto& [op, err, message] : cases) {
        EXPECT_EQ(save({{{op, 1}, err}}, {false}).status, Status::Cancelled) << message;
        EXPECT_EQ(asked, std::vector<std::string>{message});
        EXPECT_EQ(test::ReadBytes(target), old);
        EXPECT_EQ(fileCount(), 1);
    }
}

TEST_F(LibraryWriterFile, AFileThatCannotBeMadeFailsWithoutAQuestion) {
    test::WriteBytes(target, old);
    fs::permissions(target, fs::perms::owner_read);
    const WriteResult r = save();
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(r.message, "Cannot save " + target + ": Permssion denied (write-protect).");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(test::ReadBytes(target), old);
    EXPECT_EQ(WriteLibraryFile("", lib, GroupByCategory(lib), *this, *this, Durability::Flushed).status,
              Status::NothingToWrite);
    EXPECT_EQ(fileCount(), 1);
}

TEST_F(LibraryWriterFile, EitherDurabilityReplacesTheTargetWithTheWholeFile) {
    for (const Durability d : {Durability::Flushed, Durability::Ordered}) {
        test::WriteBytes(target, old);
        ASSERT_EQ(save({}, {}, d).status, Status::Written);
        EXPECT_EQ(finishedWith, std::vector<Durability>{d});
        EXPECT_EQ(test::ReadBytes(target), test::ReadBytes(kRoundTrip + "canonical/expected.lib"));
        EXPECT_EQ(fileCount(), 1);
    }
}

TEST_F(LibraryWriterFile, ReplacingKeepsTheFilesPermissionsAndSymbolicLinks) {
    test::WriteBytes(target, old);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, dir.file("link.lib"));
    ASSERT_EQ(WriteLibraryFile(dir.file("link.lib"), lib, GroupByCategory(lib), *this).status, Status::Written);
    EXPECT_TRUE(fs::is_symlink(dir.file("link.lib")));
    EXPECT_EQ(test::ReadBytes(target), test::ReadBytes(kRoundTrip + "canonical/expected.lib"));
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
}

} // namespace
} // namespace mb
