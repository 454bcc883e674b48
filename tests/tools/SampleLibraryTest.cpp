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

Library ReadSample() {
    Library library;
    const ReadResult r = ReadLibraryFile(kSample, library, ".");
    EXPECT_EQ(r.status, ReadResult::Status::Loaded);
    EXPECT_EQ(r.droppedMaterials, 0);
    return library;
}

TEST(SampleLibrary, IsWhatItsGeneratorWritesToday) {
    TempDir dir;
    const ProgramResult r = RunProgram(MB_MAKE_SAMPLE_PATH, {dir.file("sample.lib")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir.file("sample.lib")), ReadWholeFile(kSample))
        << "run make_sample examples/sample.lib and commit the result";
}

TEST(SampleLibrary, SavesBackByteForByte) {
    TempDir dir;
    const ProgramResult r = RunProgram(MB_MATLIB_PATH, {"write", kSample, dir.file("saved.lib")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir.file("saved.lib")), ReadWholeFile(kSample));
}

TEST(SampleLibrary, HasTwentyMaterialsInFiveCategoriesWithNamesThatKeepTheColumns) {
    Library library = ReadSample();
    EXPECT_GE(library.MaterialCount(), 20);
    EXPECT_GE(GroupByCategory(library).names.size(), 5u);
    std::set<std::string> names;
    for (int i = 0; i < library.MaterialCount(); ++i) {
        const std::string name(TrimBlanks(library.Entry(i).Name));
        EXPECT_LE(name.size(), 28u) << name;
        EXPECT_FALSE(TrimBlanks(library.Entry(i).NameCode).empty()) << name;
        EXPECT_TRUE(names.insert(name).second) << "twice: " << name;
    }
}

class SampleModelType : public testing::TestWithParam<int> {};

TEST_P(SampleModelType, SomeMaterialHasAValueInEveryRow) {
    Library library = ReadSample();
    const auto& rows = GridLayout(GetParam());
    bool found = false;
    for (int i = 0; i < library.MaterialCount() && !found; ++i) {
        const clsMaterial& m = library.Material(i);
        bool all = true;
        for (const GridRow& row : rows) all = all && m.HasValue(row.slot);
        found = all;
    }
    EXPECT_TRUE(found) << MaterialTypeNames()[static_cast<std::size_t>(GetParam())];
}

INSTANTIATE_TEST_SUITE_P(EveryType, SampleModelType, testing::Range(0, kMaterialTypeCount));

} // namespace
} // namespace mb::test
