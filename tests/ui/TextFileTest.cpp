#include "text/TextFile.h"

#include "support/FailingFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvanta {
namespace {

using testing::FailingFileSystem;
using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

TEST(TextFile, WritesLineEndsAsCarriageReturnLineFeed)
{
    EXPECT_EQ(withCrLf("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
    TempDir dir;
    ASSERT_TRUE(saveTextFile(dir.file("out.txt"), "one\ntwo\n"));
    EXPECT_EQ(readFileBytes(dir.file("out.txt")), "one\r\ntwo\r\n");
}

TEST(TextFile, ReplacesAnExistingFileAndLeavesNoTemporaryFile)
{
    TempDir dir;
    writeFileBytes(dir.file("out.txt"), "old content");
    ASSERT_TRUE(saveTextFile(dir.file("out.txt"), "new"));
    EXPECT_EQ(readFileBytes(dir.file("out.txt")), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(TextFile, AWriteThatFailsMidwayLeavesThePreviousFileIntact)
{
    TempDir dir;
    writeFileBytes(dir.file("out.txt"), "previous results\r\n");
    FailingFileSystem failing;
    EXPECT_FALSE(saveTextFile(dir.file("out.txt"), "a long new text that will be cut half way\n", failing));
    EXPECT_EQ(readFileBytes(dir.file("out.txt")), "previous results\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "the half-written temporary file must be removed";
}

TEST(TextFile, AnUnwritableFolderFailsWithoutCreatingAnything)
{
    TempDir dir;
    EXPECT_FALSE(saveTextFile(dir.file("missing-folder/out.txt"), "text"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing-folder")));
}

TEST(TextFile, TellsWhyAFileCannotBeWrittenWithoutTouchingIt)
{
    TempDir dir;
    writeFileBytes(dir.file("kept.txt"), "kept");
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {dir.file("new.txt"), ""},
        {dir.file("kept.txt"), ""},
        {dir.path().string(), "it is a folder"},
        {dir.file("missing-folder/out.txt"), "the folder " + dir.file("missing-folder") + " does not exist"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(unwritableFileReason(c.path), c.reason) << c.path;
    FailingFileSystem failing; // a disk on which nothing can be written
    EXPECT_EQ(unwritableFileReason(dir.file("new.txt"), failing), "no file can be created in its folder");
    EXPECT_EQ(readFileBytes(dir.file("kept.txt")), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "the probe leaves nothing behind";
}

TEST(TextFile, SameFileSeesThroughDotsAndLinksAndNamesThatDoNotExistYet)
{
    TempDir dir;
    writeFileBytes(dir.file("data.dat"), "1");
    std::filesystem::create_symlink(dir.file("data.dat"), dir.file("link.dat"));
    EXPECT_TRUE(sameFile(dir.file("data.dat"), dir.file("./data.dat")));
    EXPECT_TRUE(sameFile(dir.file("data.dat"), dir.file("sub/../data.dat")));
    EXPECT_TRUE(sameFile(dir.file("data.dat"), dir.file("link.dat")));
    EXPECT_TRUE(sameFile(dir.file("new.alg"), dir.file("./new.alg")));
    EXPECT_FALSE(sameFile(dir.file("data.dat"), dir.file("other.dat")));
    EXPECT_FALSE(sameFile(dir.file("new.alg"), dir.file("newer.alg")));
}

} // namespace
} // namespace orvanta
