// Saving as the file system sees it: what is left in the folder, where links point, which
// inode holds the content, who owns it. Saves go through WriteLibraryFile, with the real
// file layer behind a script that can make any step fail.
#include "FileOps.h"

#include "Library.h"
#include "LibraryFile.h"
#include "ScriptedFileOps.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mb {
namespace {

namespace fs = std::filesystem;
using Status = WriteResult::Status;
using Failures = test::ScriptedFileOps::Failures;

using test::Names;

struct stat Stat(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

class Saving : public ::testing::Test {
protected:
    Saving() {
        ReadLibraryFile(std::string(test::kDataDir) + "/roundtrip/canonical/input.lib", lib, ".");
        newText = libraryText(lib, groupByCategory(lib));
    }

    WriteResult save(const std::string& path, Failures failures = {},
                     std::vector<bool> answers = {}, Durability durability = Durability::Flushed) {
        ops.script(std::move(failures), std::move(answers));
        const WriteOptions options{durability, copyFolder};
        if (!inTwoHalves)
            return WriteLibraryFile(path, lib, groupByCategory(lib), ops, ops, options);
        // As the editor drives a save whose disk work runs apart from its formatting.
        LibrarySave save(path, lib, groupByCategory(lib), ops, options);
        for (int err; (err = save.run()) != 0;) {
            if (!save.retryable()) return {Status::Failed, save.failureMessage(err)};
            if (!ops.retry(save.failureMessage(err))) return save.abandon();
        }
        return {};
    }
    bool inTwoHalves = false;

    test::TempDir dir;
    test::TempDir elsewhere;
    std::string target = dir.file("lib.lib");
    std::string copyFolder = elsewhere.file("state/copies");
    // Longer than the new text, so a rewrite in place must also cut the file.
    const std::string old = "MATTYPE:Old\r\n" + std::string(20000, 'o') + "\r\nENDTYPE\r\n";
    std::string newText;
    Library lib;
    test::ScriptedFileOps ops;
};

// Every save case, streamed as the command-line tool saves and in two halves as the editor does.
class SavingBothWays : public Saving, public ::testing::WithParamInterface<bool> {
protected:
    SavingBothWays() { inTwoHalves = GetParam(); }
};
INSTANTIATE_TEST_SUITE_P(Streamed, SavingBothWays, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(InTwoHalves, SavingBothWays, ::testing::Values(true));

// The editor hands each save the memory of the last one's text: formatted into it, a save
// touches no fresh pages, and what was there before never reaches the file.
TEST_F(Saving, ASaveFormatsIntoTheRoomOfTheLastAndWritesOnlyItsOwnText) {
    const WriteOptions options{Durability::Flushed, copyFolder};
    LibrarySave first(target, lib, groupByCategory(lib), ops, options,
                      LargeText(newText.size() * 2, '#'));
    ASSERT_EQ(first.run(), 0);
    EXPECT_EQ(test::ReadBytes(target), newText);
    LargeText room = first.releaseText();
    const char* memory = room.data();

    LibrarySave second(target, lib, groupByCategory(lib), ops, options, std::move(room));
    EXPECT_EQ(second.text().data(), memory);
    ASSERT_EQ(second.run(), 0);
    EXPECT_EQ(test::ReadBytes(target), newText);
}

TEST_P(SavingBothWays, StaleTemporaryFilesOfTheLibraryAreRemovedAndNothingElse) {
    test::WriteBytes(target, old);
    // Left by saves that died: this library's pattern, nobody holding them.
    const std::vector<std::string> stale = {".lib.lib.Ab12Cd", ".lib.lib.zzzzzz"};
    // Not this library's temporary files, or a copy of old content that must stay.
    const std::vector<std::string> others = {
        ".lib.lib.Ab12C", ".lib.lib.Ab12Cde",    ".lib.lib.Ab-2Cd", ".other.lib.Ab12Cd",
        "lib.lib.Ab12Cd", ".lib.lib.Ab12Cd.old", "other.lib"};
    for (const auto& name : stale)
        test::WriteBytes(dir.file(name), "half a save");
    for (const auto& name : others)
        test::WriteBytes(dir.file(name), "keep");
    // A save in progress elsewhere holds its file locked.
    test::WriteBytes(dir.file(".lib.lib.LIVE00"), "being written");
    const int live = ::open(dir.file(".lib.lib.LIVE00").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    ASSERT_EQ(save(target).status, Status::Written);
    ::close(live);
    std::vector<std::string> expected = others;
    expected.push_back(".lib.lib.LIVE00");
    expected.push_back("lib.lib");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir.path()), expected);
    EXPECT_EQ(test::ReadBytes(target), newText);
}

TEST_P(SavingBothWays, WithoutUnnamedFilesTheNamedTemporaryFileIsUsedAndRenamed) {
    // What the file system answers when it cannot make a file without a name.
    for (const int refusal : {EOPNOTSUPP, EISDIR, EINVAL}) {
        SCOPED_TRACE(refusal);
        test::WriteBytes(target, old);
        ASSERT_EQ(save(target, {{{"unnamed", 1}, refusal}}).status, Status::Written);
        EXPECT_EQ(ops.calls["create"], 1);
        EXPECT_EQ(ops.calls["rename"], 1);
        EXPECT_EQ(test::ReadBytes(target), newText);
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"lib.lib"});
    }
    // With them, no named file is made before the data is complete, flushed as asked.
    for (const Durability d : {Durability::Flushed, Durability::Ordered}) {
        test::WriteBytes(target, old);
        ASSERT_EQ(save(target, {}, {}, d).status, Status::Written);
        EXPECT_EQ(std::tie(ops.calls["unnamed"], ops.calls["create"], ops.calls["rename"]),
                  std::make_tuple(1, 0, 1));
        EXPECT_EQ(ops.finishedWith, std::vector<Durability>{d});
        EXPECT_EQ(test::ReadBytes(target), newText);
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"lib.lib"});
    }
}

TEST_P(SavingBothWays, ALinkIsFollowedEvenToAFileNotThereYetAndStays) {
    fs::create_directory(dir.file("real"));
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>>
            links; // link -> where it points, first one saved to
        std::string file;
    } cases[] = {
        {"relative to the link's folder", {{"a.lib", "real/../real/a.lib"}}, "real/a.lib"},
        {"absolute", {{"b.lib", dir.file("real/b.lib")}}, "real/b.lib"},
        {"a chain", {{"c.lib", "real/c1.lib"}, {"real/c1.lib", "c2.lib"}}, "real/c2.lib"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [link, to] : c.links)
            fs::create_symlink(to, dir.file(link));
        for (const bool exists : {false, true}) {
            if (exists) test::WriteBytes(dir.file(c.file), old);
            ASSERT_EQ(save(dir.file(c.links[0].first)).status, Status::Written);
            EXPECT_EQ(test::ReadBytes(dir.file(c.file)), newText);
            for (const auto& [link, to] : c.links)
                EXPECT_EQ(fs::read_symlink(dir.file(link)), to);
        }
    }
    fs::create_symlink("loop2.lib", dir.file("loop1.lib"));
    fs::create_symlink("loop1.lib", dir.file("loop2.lib"));
    const WriteResult r = save(dir.file("loop1.lib"));
    EXPECT_EQ(std::tie(r.status, r.message),
              std::make_tuple(Status::Failed, "Cannot save " + dir.file("loop1.lib") +
                                                  ": Too many levels of symbolic links"));
}

TEST_P(SavingBothWays, OwnerGroupAndModeAreKept) {
    test::WriteBytes(target, old);
    // Only root may give a file away; anyone else keeps their own file as it is.
    const bool root = ::geteuid() == 0;
    const uid_t owner = root ? 1234 : ::geteuid();
    const gid_t group = root ? 5678 : ::getegid();
    ASSERT_EQ(::chown(target.c_str(), owner, group), 0);
    // Changing the owner clears the set-id bits; they must come back.
    ASSERT_EQ(::chmod(target.c_str(), 06750), 0);
    ASSERT_EQ(save(target).status, Status::Written);
    const struct stat st = Stat(target);
    EXPECT_EQ(std::tie(st.st_uid, st.st_gid), std::tie(owner, group));
    EXPECT_EQ(st.st_mode & 07777, 06750u);
    EXPECT_EQ(test::ReadBytes(target), newText);
}

// A file with a second hard link, or in a folder where no file can be made (simulated: tests
// may run as root, who can write anywhere), is rewritten in place: every name shows the new
// content on the same inode. The copy of the old content is made without a name where the
// file system allows it, else under a name that says it is not whole yet, renamed once it
// is; where no copy can be made beside the file it goes to the copy folder, made for it.
TEST_P(SavingBothWays, AFileThatCannotBeReplacedIsRewrittenInPlaceAndNoCopyIsLeft) {
    const struct {
        const char* what;
        bool linked;
        Failures refusals;
        int copiesMade; // beside the file or in the copy folder
        std::vector<std::string> copyFolderAfter;
    } cases[] = {
        {"hard link, unnamed copy", true, {}, 1, {}},
        {"hard link, named copy", true, {{{"unnamed copy", 1}, EOPNOTSUPP}}, 2, {}},
        {"no unnamed file", false, {{{"unnamed", 1}, EACCES}}, 1, {}},
        {"no named file", false, {{{"unnamed", 1}, EOPNOTSUPP}, {{"create", 1}, EPERM}}, 1, {}},
        {"no copy beside it",
         false,
         {{{"unnamed", 1}, EACCES}, {{"unnamed copy", 1}, EACCES}},
         2,
         {"copies"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir.path());
        fs::create_directory(dir.path());
        test::WriteBytes(target, old);
        std::vector<std::string> names = {"lib.lib"};
        if (c.linked) {
            fs::create_hard_link(target, dir.file("other-name.lib"));
            names.push_back("other-name.lib");
        }
        const ino_t inode = Stat(target).st_ino;
        ASSERT_EQ(save(target, c.refusals).status, Status::Written);
        for (const std::string& name : names) {
            EXPECT_EQ(test::ReadBytes(dir.file(name)), newText) << name;
            EXPECT_EQ(Stat(dir.file(name)).st_ino, inode);
        }
        EXPECT_EQ(Stat(target).st_nlink, names.size());
        EXPECT_EQ(ops.calls["unnamed copy"] + ops.calls["copy"], c.copiesMade);
        EXPECT_EQ(ops.calls["keep"], 1);
        EXPECT_EQ(Names(dir.path()), names);
        EXPECT_EQ(Names(elsewhere.file("state")), c.copyFolderAfter);
        EXPECT_EQ(Names(copyFolder), std::vector<std::string>{});
    }
}

// Rewriting in place, a failure midway leaves the old content, or a complete copy of it.
TEST_P(SavingBothWays, AFailureWhileRewritingInPlaceLeavesTheOldContentOrACompleteCopy) {
    // The first write goes to the copy, the second to the file; the copy is finished once.
    // Either the Retry/Cancel question comes with its reason and Cancel says nothing, or the
    // save fails at once with "Cannot save <file>: " and the reason.
    const std::string noSpace = "No space left on device", io = "Input/output error";
    const struct {
        const char* what;
        Failures failures;
        std::string asked, failure;
    } cases[] = {
        {"the disk fills", {{{"write", 2}, ENOSPC}}, noSpace, ""},
        {"the file cannot be cut", {{{"truncate", 1}, EIO}}, io, ""},
        {"no copy can be made anywhere",
         {{{"unnamed copy", 1}, ENOSPC},
          {{"unnamed copy", 2}, ENOSPC},
          {{"unnamed copy", 3}, ENOSPC}},
         "",
         noSpace},
        {"the copy cannot be flushed", {{{"keep", 1}, EIO}}, "", io},
        {"a named copy cannot be kept",
         {{{"unnamed copy", 1}, EINVAL}, {{"keep", 1}, EIO}},
         "",
         io},
        {"the old content cannot be read", {{{"read", 1}, EIO}}, "", io},
        {"the file cannot be opened", {{{"open", 1}, ETXTBSY}}, "", "Path - File access error."},
        // Cancelled, and the old content cannot be put back: a complete copy is kept.
        {"nor can the old content be put back",
         {{{"write", 2}, ENOSPC}, {{"write", 3}, EIO}},
         noSpace,
         "The old content of " + target +
             " could not be put back; a complete copy of it is kept in "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ec;
        fs::remove(target, ec);
        fs::remove(dir.file("link.lib"), ec);
        test::WriteBytes(target, old);
        fs::create_hard_link(target, dir.file("link.lib"));
        const WriteResult r = save(target, c.failures, {false});
        EXPECT_EQ(r.status, c.asked.empty() ? Status::Failed : Status::Cancelled);
        EXPECT_EQ(ops.asked, c.asked.empty() ? std::vector<std::string>{} : std::vector{c.asked});
        EXPECT_EQ(Stat(target).st_nlink, 2u);
        std::vector<std::string> left = Names(dir.path());
        std::erase(left, "lib.lib");
        std::erase(left, "link.lib");
        if (c.asked.empty() || c.failure.empty()) {
            EXPECT_EQ(test::ReadBytes(target), old);
            EXPECT_EQ(left, std::vector<std::string>{});
            EXPECT_EQ(r.message,
                      c.failure.empty() ? "" : "Cannot save " + target + ": " + c.failure);
            continue;
        }
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(test::ReadBytes(dir.file(left[0])), old);
        EXPECT_EQ(r.message, c.failure + dir.file(left[0]) + ".");
    }
}

// The file is made without a name where the file system allows it, else under a temporary
// name; both ways must behave alike.
const std::pair<const char*, Failures> kWays[] = {{"unnamed", {}},
                                                  {"named", {{{"unnamed", 1}, EOPNOTSUPP}}}};

Failures operator+(Failures a, const Failures& b) {
    a.insert(b.begin(), b.end());
    return a;
}

TEST_P(SavingBothWays, RetryAfterEachFailedStepGivesTheCompleteFile) {
    // Enough materials for several chunks, so the failing write is neither first nor last.
    for (int i = 0; i < 400; ++i) {
        clsMaterial record;
        for (int slot = 0; slot < 22; ++slot)
            record.setSlotValue(slot, 1000.0 + i + slot);
        lib.addMaterial({"Bulk", "", "B" + std::to_string(i), ""}, record, clsMaterial());
    }
    const std::string expected = libraryText(lib, groupByCategory(lib));
    ASSERT_GT(expected.size(), 3 * kWriteChunk);
    for (const auto& [way, choice] : kWays) {
        SCOPED_TRACE(way);
        test::WriteBytes(target, old);
        EXPECT_EQ(save(target,
                       choice + Failures{{{"write", 2}, ENOSPC},
                                         {{"owner", 1}, EIO},
                                         {{"finish", 1}, EIO},
                                         {{"rename", 1}, EBUSY}},
                       {true, true, true, true})
                      .status,
                  Status::Written);
        EXPECT_EQ(ops.asked,
                  (std::vector<std::string>{"No space left on device", "Input/output error",
                                            "Input/output error", "Disk not ready."}));
        EXPECT_EQ(test::ReadBytes(target), expected);
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"lib.lib"});
    }
    // Rewritten in place: the first write goes to the copy, the second to the file.
    test::WriteBytes(target, old);
    fs::create_hard_link(target, dir.file("link.lib"));
    ASSERT_EQ(save(target, {{{"write", 2}, ENOSPC}, {{"truncate", 1}, EIO}}, {true, true}).status,
              Status::Written);
    EXPECT_EQ(ops.asked,
              (std::vector<std::string>{"No space left on device", "Input/output error"}));
    EXPECT_EQ(test::ReadBytes(dir.file("link.lib")), expected);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"lib.lib", "link.lib"}));
}

TEST_P(SavingBothWays, CancelAtAnyStepLeavesTheTargetAsItWasAndNoTemporaryFile) {
    const std::tuple<const char*, int, std::string> cases[] = {
        {"finish", EEXIST, "File already exists."},
        {"rename", ENFILE, "Too many files at the same time."},
        {"write", ENODEV, "Device unavailable."},
        {"write", ENOTDIR, "Path not found."},
        {"owner", EROFS, "Permssion denied (write-protect)."}};
    test::WriteBytes(target, old);
    for (const auto& [way, choice] : kWays) {
        for (const auto& [op, err, message] : cases) {
            SCOPED_TRACE(std::string(way) + " " + message);
            EXPECT_EQ(save(target, choice + Failures{{{op, 1}, err}}, {false}).status,
                      Status::Cancelled);
            EXPECT_EQ(ops.asked, std::vector<std::string>{message});
            EXPECT_EQ(test::ReadBytes(target), old);
            EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"lib.lib"});
        }
    }
}

TEST_P(SavingBothWays, AFileThatCannotBeMadeFailsWithoutAQuestion) {
    const std::string expectedFailure =
        "Cannot save " + target + ": Permssion denied (write-protect).";
    test::WriteBytes(target, old);
    fs::permissions(target, fs::perms::owner_read);
    WriteResult r = save(target);
    EXPECT_EQ(r.status, Status::Failed);
    EXPECT_EQ(r.message, expectedFailure);
    EXPECT_TRUE(ops.asked.empty());
    EXPECT_EQ(test::ReadBytes(target), old);
    EXPECT_EQ(WriteLibraryFile("", lib, groupByCategory(lib), ops, ops, Durability::Flushed).status,
              Status::NothingToWrite);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"lib.lib"});

    // A new file in a folder where nothing can be made; both ways of making it are refused.
    fs::remove(target);
    r = save(target, {{{"unnamed", 1}, EACCES}});
    EXPECT_EQ(std::tie(r.status, r.message), std::make_tuple(Status::Failed, expectedFailure));
    r = save(target, {{{"unnamed", 1}, EOPNOTSUPP}, {{"create", 1}, EROFS}});
    EXPECT_EQ(std::tie(r.status, r.message), std::make_tuple(Status::Failed, expectedFailure));
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{});
}

// A save that died while it rewrote a file in place left a copy of the old content under
// the file's name and inode; the file itself may hold anything in between.
class UnfinishedRewrite : public Saving {
protected:
    UnfinishedRewrite() {
        test::WriteBytes(target, half);
        fs::create_hard_link(target, dir.file("link.lib"));
    }
    // The name a save gives the copy of `lib.lib`, beside it (hidden) or elsewhere.
    std::string copyName(bool hidden, const std::string& suffix = "Ab12Cd",
                         const std::string& ending = ".old") const {
        return std::string(hidden ? "." : "") + "lib.lib." + std::to_string(Stat(target).st_ino) +
               "." + suffix + ending;
    }
    // A rewrite in place writes from the start: the new text, then what is left of the old.
    const std::string half = newText.substr(0, 1000) + old.substr(1000);
    const std::vector<std::string> alone = {"lib.lib", "link.lib"};
};

TEST_F(UnfinishedRewrite, TheCopyIsFoundBesideTheFileOrInTheCopyFolderAndPutBack) {
    for (const bool beside : {true, false}) {
        SCOPED_TRACE(beside ? "beside" : "in the copy folder");
        test::WriteBytes(target, half);
        const std::string copy =
            beside ? dir.file(copyName(true)) : copyFolder + "/" + copyName(false);
        fs::create_directories(copyFolder);
        test::WriteBytes(copy, old);
        ASSERT_EQ(findUnfinishedRewrite(target, copyFolder), copy);
        // Reached through a link, it is the same file.
        fs::create_symlink(target, dir.file("symlink.lib"));
        ASSERT_EQ(findUnfinishedRewrite(dir.file("symlink.lib"), copyFolder), copy);
        fs::remove(dir.file("symlink.lib"));
        ASSERT_EQ(restoreUnfinishedRewrite(target, copy), 0);
        EXPECT_EQ(test::ReadBytes(dir.file("link.lib")), old);
        EXPECT_EQ(Names(dir.path()), alone);
        EXPECT_EQ(Names(copyFolder), std::vector<std::string>{});
        EXPECT_EQ(findUnfinishedRewrite(target, copyFolder), std::nullopt);
    }
}

TEST_F(UnfinishedRewrite, LeftoversThatNeedNothingGoAndWhatIsNotTheirsStays) {
    const ino_t inode = Stat(target).st_ino;
    const std::vector<std::string> others = {
        ".lib.lib.Ab12Cd.old",                                   // before copies had inodes
        ".lib.lib." + std::to_string(inode + 1) + ".Ab12Cd.old", // a file replaced since
        ".other.lib." + std::to_string(inode) + ".Ab12Cd.old",   // another file's
        ".lib.lib." + std::to_string(inode) + ".Ab12C.old",      // not the pattern
        "lib.lib." + std::to_string(inode) + ".Ab12Cd.old"};     // not hidden beside it
    for (const std::string& name : others)
        test::WriteBytes(dir.file(name), old);
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> copies; // name, content, oldest first
        std::optional<std::string> found;
    } cases[] = {
        {"none", {}, std::nullopt},
        {"a copy never finished: the file was not touched yet",
         {{copyName(true, "Part01", ".part"), old.substr(0, 100)}},
         std::nullopt},
        {"a copy of what the file holds", {{copyName(true), half}}, std::nullopt},
        {"an older copy beside the newest",
         {{copyName(true, "Older1"), "older"}, {copyName(true), old}},
         copyName(true)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        long long age = static_cast<long long>(c.copies.size());
        for (const auto& [name, content] : c.copies) {
            test::WriteBytes(dir.file(name), content);
            const timespec times[2] = {{1700000000 - age, 0}, {1700000000 - age, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, dir.file(name).c_str(), times, 0), 0);
            --age;
        }
        const std::optional<std::string> found = findUnfinishedRewrite(target, copyFolder);
        EXPECT_EQ(found, c.found ? std::optional(dir.file(*c.found)) : std::nullopt);
        std::vector<std::string> expected = others;
        expected.insert(expected.end(), alone.begin(), alone.end());
        if (c.found) expected.push_back(*c.found);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Names(dir.path()), expected);
        EXPECT_EQ(test::ReadBytes(target), half);
        if (found) fs::remove(*found);
    }
}

TEST_F(UnfinishedRewrite, ACopyThatARunningSaveHoldsOrThatIsNotTheFilesIsNotPutBack) {
    const std::string copy = dir.file(copyName(true));
    test::WriteBytes(copy, old);
    const int held = ::open(copy.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_EQ(findUnfinishedRewrite(target, copyFolder), std::nullopt);
    EXPECT_EQ(restoreUnfinishedRewrite(target, copy), EBUSY);
    ::close(held);
    const std::string another = dir.file("other.lib");
    test::WriteBytes(another, half);
    EXPECT_EQ(restoreUnfinishedRewrite(another, copy), EINVAL);
    EXPECT_EQ(test::ReadBytes(another), half);
    EXPECT_EQ(test::ReadBytes(target), half);
    EXPECT_EQ(findUnfinishedRewrite(target, copyFolder), copy);
}

// A save puts back what the save before it left half written before it writes, so that
// when it fails too the file is as it was before both; done, it leaves nothing.
TEST_F(UnfinishedRewrite, TheNextSaveStartsFromTheOldContentAndLeavesNoCopy) {
    const std::string copy = dir.file(copyName(true));
    test::WriteBytes(copy, old);
    EXPECT_EQ(save(target, {{{"write", 2}, ENOSPC}}, {false}).status, Status::Cancelled);
    EXPECT_EQ(test::ReadBytes(dir.file("link.lib")), old);
    EXPECT_EQ(Names(dir.path()), alone);

    test::WriteBytes(target, half);
    test::WriteBytes(copy, old);
    ASSERT_EQ(save(target).status, Status::Written);
    EXPECT_EQ(test::ReadBytes(dir.file("link.lib")), newText);
    EXPECT_EQ(Names(dir.path()), alone);
}

TEST(CopyFolder, FollowsTheStateFolderOfTheUser) {
    const auto keep = [](const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    const std::optional<std::string> state = keep("XDG_STATE_HOME"), home = keep("HOME");
    // An empty or unset HOME is the account's home, as a login would have set it.
    const passwd* account = ::getpwuid(::getuid());
    const std::string accountHome = account && account->pw_dir ? account->pw_dir : "";
    const std::string noHome = accountHome.starts_with('/') && accountHome != "/"
                                   ? accountHome + "/.local/state/MaterialBrowser"
                                   : "/tmp";
    const struct {
        const char* state;
        const char* home;
        std::string folder;
    } cases[] = {
        {"/s", "/h", "/s/MaterialBrowser"},
        {nullptr, "/h", "/h/.local/state/MaterialBrowser"},
        {"relative", "/h", "/h/.local/state/MaterialBrowser"}, // not a valid base folder
        {"", "", noHome},
        {"", "relative", noHome},
    };
    for (const auto& c : cases) {
        for (const auto& [name, value] :
             {std::pair{"XDG_STATE_HOME", c.state}, std::pair{"HOME", c.home}})
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
        EXPECT_EQ(defaultCopyFolder(), c.folder);
    }
    for (const auto& [name, value] : {std::pair{"XDG_STATE_HOME", state}, std::pair{"HOME", home}})
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
}

} // namespace
} // namespace mb
