#include "LibraryFile.h"

#include "Library.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

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

} // namespace
} // namespace mb
