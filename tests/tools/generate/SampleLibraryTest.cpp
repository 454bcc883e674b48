// The committed sample library: current with its generator and stable under a save.
#include "RunProgram.h"

#include <gtest/gtest.h>

namespace mb::test {
namespace {

TEST(SampleLibrary, IsWhatItsGeneratorWritesTodayAndSavesBackByteForByte) {
    TempDir dir;
    const ProgramResult r = RunProgram(MB_MAKE_SAMPLE_PATH, {dir.file("sample.lib")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("sample.lib")), ReadBytes(MB_SAMPLE_LIBRARY))
        << "run make_sample examples/sample.lib and commit the result";
    EXPECT_EQ(RunProgram(MB_MATLIB_PATH, {"write", MB_SAMPLE_LIBRARY, dir.file("saved.lib")}).err,
              "");
    EXPECT_EQ(ReadBytes(dir.file("saved.lib")), ReadBytes(MB_SAMPLE_LIBRARY));
}

} // namespace
} // namespace mb::test
