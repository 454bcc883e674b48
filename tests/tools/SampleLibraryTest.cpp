// The committed sample library: current with its generator, stable under a save, and
// rich enough to show every material model type with values in every row.
#include "RunProgram.h"

#include "materials/MaterialModel.h"
#include "materials/TextUtil.h"
#include "model/Library.h"
#include "model/LibraryFile.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace mb::test {
namespace {

const std::string kSample = MB_SAMPLE_LIBRARY;

TEST(SampleLibrary, IsWhatItsGeneratorWritesTodayAndSavesBackByteForByte) {
    TempDir dir;
    ProgramResult r = RunProgram(MB_MAKE_SAMPLE_PATH, {dir.file("sample.lib")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("sample.lib")), ReadBytes(kSample))
        << "run make_sample examples/sample.lib and commit the result";
    r = RunProgram(MB_MATLIB_PATH, {"write", kSample, dir.file("saved.lib")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("saved.lib")), ReadBytes(kSample));
}

TEST(SampleLibrary, HasTwentyMaterialsInFiveCategoriesAndAFullMaterialOfEveryType) {
    Library library;
    const ReadResult r = ReadLibraryFile(kSample, library, ".");
    ASSERT_EQ(r.status, ReadResult::Status::Loaded);
    EXPECT_EQ(r.droppedMaterials, 0);
    EXPECT_GE(library.MaterialCount(), 20);
    EXPECT_GE(GroupByCategory(library).names.size(), 5u);
    std::set<std::string> names;
    for (int i = 0; i < library.MaterialCount(); ++i) {
        // Names that keep the columns of the material line in place.
        const std::string name(TrimBlanks(library.Entry(i).Name));
        EXPECT_LE(name.size(), 28u) << name;
        EXPECT_FALSE(TrimBlanks(library.Entry(i).NameCode).empty()) << name;
        EXPECT_TRUE(names.insert(name).second) << "twice: " << name;
    }
    for (int type = 0; type < kMaterialTypeCount; ++type) {
        bool found = false;
        for (int i = 0; i < library.MaterialCount() && !found; ++i) {
            found = true;
            for (const GridRow& row : GridLayout(type)) found = found && library.Material(i).HasValue(row.slot);
        }
        EXPECT_TRUE(found) << "no material with a value in every row of " << MaterialTypeNames()[type];
    }
}

} // namespace
} // namespace mb::test
