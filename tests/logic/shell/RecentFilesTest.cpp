#include "ApplicationFixture.h"

#include "RecentFiles.h"

#include <filesystem>

namespace mb {
namespace {

using Paths = std::vector<std::string>;

Paths PathsOf(const std::vector<RecentFile>& entries) {
    Paths paths;
    for (const RecentFile& e : entries)
        paths.push_back(e.path);
    return paths;
}

TEST(RecentFilesTest, NewestFirstEachOnceAtMostEightAndEveryByteOfAPathKept) {
    struct Case {
        const char* what;
        Paths added;
        Paths expected;
    };
    const Case cases[] = {
        {"a path used again moves up", {"/a.lib", "/b.lib", "/a.lib"}, {"/a.lib", "/b.lib"}},
        {"the ninth pushes the oldest out",
         {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"},
         {"/9", "/8", "/7", "/6", "/5", "/4", "/3", "/2"}},
        {"blanks, line breaks and 8-bit bytes survive",
         {"/data/my steels.lib", "/data/two\nlines.lib", "/data/st\xe4hle.lib"},
         {"/data/st\xe4hle.lib", "/data/two\nlines.lib", "/data/my steels.lib"}},
        {"no empty path", {"/a.lib", ""}, {"/a.lib"}},
    };
    for (const Case& c : cases) {
        fake::FakeSettingsBackend settings;
        RecentFiles recent(settings);
        for (const std::string& path : c.added)
            recent.add(path);
        EXPECT_EQ(PathsOf(recent.entries()), c.expected) << c.what;
        // Another instance, or the next run, reads the same list.
        EXPECT_EQ(PathsOf(RecentFiles(settings).entries()), c.expected) << c.what;
    }
}

TEST(RecentFilesTest, RemovingForgetsOnePathAndAForeignValueReadsAsAnEmptyList) {
    fake::FakeSettingsBackend settings;
    RecentFiles recent(settings);
    for (const char* path : {"/a.lib", "/b.lib", "/c.lib"})
        recent.add(path);
    recent.remove("/b.lib");
    recent.remove("/not-in-the-list.lib");
    EXPECT_EQ(PathsOf(recent.entries()), (Paths{"/c.lib", "/a.lib"}));

    settings.put("Recent", "Files", {SettingsValue::Type::Text, "/a.lib"});
    EXPECT_TRUE(recent.entries().empty());
    settings.put("Recent", "Files", {SettingsValue::Type::Binary, std::string("/x\0\0/x\0/y", 9)});
    EXPECT_EQ(PathsOf(recent.entries()), Paths{"/x"}) << "an unended last path is not taken";
}

// Started from another folder, or through a link, the next run still finds the file.
TEST(RecentFilesTest, PathsAreKeptFromTheRootWithTheirLinksResolved) {
    test::TempDir dir;
    test::WriteBytes(dir.file("steels.lib"), "MATTYPE:\r\n");
    std::filesystem::create_directory(dir.file("sub"));
    std::filesystem::create_symlink(dir.file("steels.lib"), dir.file("link.lib"));
    const std::filesystem::path started = std::filesystem::current_path();
    std::filesystem::current_path(dir.file("sub"));
    fake::FakeSettingsBackend settings;
    RecentFiles recent(settings);
    recent.add("../steels.lib");
    recent.add("../link.lib");
    recent.add("../gone/./x.lib");
    std::filesystem::current_path(started);
    const std::string real = std::filesystem::canonical(dir.file("steels.lib")).string();
    const std::string gone = std::filesystem::canonical(dir.path()).string() + "/gone/x.lib";
    const std::vector<RecentFile> entries = recent.entries();
    EXPECT_EQ(PathsOf(entries), (Paths{gone, real})) << "the link is its file, once";
    EXPECT_FALSE(entries[0].exists);
    EXPECT_TRUE(entries[1].exists);
}

TEST_F(ApplicationTest, LibrariesOpenedOrSavedUnderANameAreListedAndAGoneOneIsGreyedOut) {
    const std::string steels = openSaved();
    const std::string copy = tmp.file("copy.lib");
    dialogs.queuePath(copy);
    app.SaveLibraryAs();
    std::filesystem::remove(steels);

    const std::vector<RecentFile> entries = app.recentFileList();
    ASSERT_EQ(PathsOf(entries), (Paths{copy, steels}));
    EXPECT_TRUE(entries[0].exists);
    EXPECT_FALSE(entries[1].exists);
}

TEST_F(ApplicationTest, AWorkbookIsNotARecentLibraryNorIsAFileThatCouldNotBeRead) {
    const std::string book = tmp.file("steels.xls");
    test::WriteBytes(book, "workbook");
    workbooks[book] = SheetOf({{"Name", CellValue::ofText("S355")},
                               {"Type", CellValue::ofText("Steels")},
                               {"End", CellValue::empty()}});
    dialogs.queuePath(book);
    app.OpenLibrary();
    ASSERT_TRUE(state.doc.DocumentOpen);
    dialogs.queuePath(library("broken.lib", "not a library\r\n"));
    messages.queueAnswer(MsgResult::No); // the imported library is not saved
    app.OpenLibrary();
    EXPECT_TRUE(app.recentFileList().empty());
}

} // namespace
} // namespace mb
