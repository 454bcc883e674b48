// What the file layer lets a reader see: only regular files of at most the largest size a
// library can have, so that no pipe, device or endless file ever reaches one.
#include "FileOps.h"

#include "FilesThatDoNotEnd.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/socket.h>
#include <sys/un.h>

namespace mb {
namespace {

// Everything the file gives, read the way the library reader reads it.
struct Drained {
    std::string bytes;
    long last = 0; ///< what the final read returned: 0 at the end, -1 on a failure
};

Drained Drain(InputFile& in, std::size_t chunk = kReadChunk) {
    Drained d;
    std::string buffer(chunk, '\0');
    while ((d.last = in.read(buffer.data(), buffer.size())) > 0)
        d.bytes.append(buffer.data(), static_cast<std::size_t>(d.last));
    return d;
}

TEST(InputFile, WhatIsNoFileIsRefusedAtOnceAndSaysWhatItIs) {
    test::HangGuard guard;
    test::TempDir dir;
    std::vector<test::RefusedPath> paths = test::FilesThatDoNotEnd(dir, ".lib");
    // A socket cannot even be opened; the message still says what it is.
    const std::string socketPath = dir.file("socket.lib");
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    paths.push_back({socketPath, "it is a socket, not a file."});

    for (const auto& [path, reason] : paths) {
        SCOPED_TRACE(path);
        InputFile in(path);
        EXPECT_FALSE(in.ok());
        EXPECT_EQ(in.reason(), reason);
        char byte;
        EXPECT_EQ(in.read(&byte, 1), -1);
    }
    ::close(s);
}

TEST(InputFile, AFileOfTheLargestSizeOpensAndOneByteMoreIsRefused) {
    test::TempDir dir;
    const std::string path = dir.file("sparse.lib");
    test::WriteBytes(path, "");
    std::filesystem::resize_file(path, kLargestReadableFile);
    {
        InputFile in(path);
        ASSERT_TRUE(in.ok()) << in.reason();
        EXPECT_EQ(in.size(), 64LL * 1024 * 1024);
        const Drained d = Drain(in);
        EXPECT_EQ(d.last, 0);
        EXPECT_EQ(static_cast<long long>(d.bytes.size()), kLargestReadableFile);
    }
    std::filesystem::resize_file(path, kLargestReadableFile + 1);
    InputFile in(path);
    EXPECT_FALSE(in.ok());
    EXPECT_EQ(in.reason(), "it is larger than 64 MiB, more than any library can be.");
}

// Another program may keep appending to a file while it is read: the read stops at the
// limit rather than following it.
TEST(InputFile, AFileThatGrowsPastTheLimitWhileReadFailsThere) {
    test::TempDir dir;
    const std::string path = dir.file("growing.lib");
    test::WriteBytes(path, "MATTYPE:Growing\r\n");
    InputFile in(path);
    ASSERT_TRUE(in.ok());
    std::filesystem::resize_file(path, kLargestReadableFile + kReadChunk * 3 + 5);
    const Drained d = Drain(in);
    EXPECT_EQ(d.last, -1);
    EXPECT_LE(static_cast<long long>(d.bytes.size()), kLargestReadableFile);
    EXPECT_EQ(d.bytes.substr(0, 17), "MATTYPE:Growing\r\n");
    EXPECT_EQ(in.reason(), "it is larger than 64 MiB, more than any library can be.");
}

TEST(InputFile, ReadingAtAnOffsetLeavesThePositionOfReadAlone) {
    test::TempDir dir;
    const std::string path = dir.file("parts.lib");
    test::WriteBytes(path, "MATTYPE:Parts\r\nMATL:A\r\n");
    InputFile in(path);
    ASSERT_TRUE(in.ok());
    char buffer[8];
    int error = -1;
    EXPECT_EQ(in.readAt(buffer, 6, 15, error), 6);
    EXPECT_EQ(std::string(buffer, 6), "MATL:A");
    EXPECT_EQ(error, 0);
    EXPECT_EQ(in.readAt(buffer, 8, 23, error), 0); // at the end
    EXPECT_EQ(Drain(in).bytes, "MATTYPE:Parts\r\nMATL:A\r\n");
    // Past the largest size a library can have nothing is read, whatever the file holds.
    std::filesystem::resize_file(path, kLargestReadableFile + 10);
    EXPECT_EQ(in.readAt(buffer, 8, kLargestReadableFile - 4, error), -1);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(in.reason(), "");
}

} // namespace
} // namespace mb
