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

} // namespace
} // namespace orvanta
