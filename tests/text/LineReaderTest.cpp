#include "text/LineReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::TempDir;

std::vector<std::string> allLines(LineReader& reader, std::size_t keep = longestLine)
{
    std::vector<std::string> lines;
    while (const std::optional<std::string> line = reader.next(keep))
        lines.push_back(*line);
    return lines;
}

TEST(LineReader, TakesLineFeedCarriageReturnAndBothAsLineEnds)
{
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\rb", {"a", "", "b"}}, // CR LF, then a lone CR
        {"a\n\r\nb", {"a", "", "b"}},
        {"a\n\nb\n\n", {"a", "", "b", ""}},
        {"last line without an end", {"last line without an end"}},
        {"", {}},
        {"\n", {""}},
    };
    for (const Case& c : cases) {
        LineReader inMemory{std::string_view(c.text)};
        EXPECT_EQ(allLines(inMemory), c.lines) << ::testing::PrintToString(std::string(c.text));
        EXPECT_FALSE(inMemory.failed());

        TempDir dir;
        testing::writeFileBytes(dir.file("lines.txt"), c.text);
        LineReader fromFile = LineReader::openFile(dir.file("lines.txt"));
        EXPECT_EQ(allLines(fromFile), c.lines) << ::testing::PrintToString(std::string(c.text));
        EXPECT_FALSE(fromFile.failed());
    }
}

TEST(LineReader, ALineEndSplitAcrossTheReadingChunksIsOneLineEnd)
{
    // 64 KiB chunks: put the CR as the last byte of the first chunk and the LF after it.
    TempDir dir;
    const std::string first(64 * 1024 - 1, 'x');
    testing::writeFileBytes(dir.file("split.txt"), first + "\r\nsecond\r\n");
    LineReader reader = LineReader::openFile(dir.file("split.txt"));
    const std::vector<std::string> lines = allLines(reader);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], first);
    EXPECT_EQ(lines[1], "second");
}

TEST(LineReader, AtEndLooksPastALineFeedThatEndsTheLastLine)
{
    LineReader reader{std::string_view("one\r\ntwo\r\n")};
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.next(), "one");
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.next(), "two");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.next(), std::nullopt);
    EXPECT_EQ(reader.lineCount(), 2);
}

TEST(LineReader, KeepsTheAskedPartOfALongLineAndReadsPastTheRest)
{
    LineReader reader{std::string_view("0123456789\nshort\n")};
    EXPECT_EQ(reader.next(4), "0123");
    EXPECT_EQ(reader.next(4), "shor");
}

TEST(LineReader, ALineWithoutAnEndWithinOneMebibyteStopsTheReading)
{
    TempDir dir;
    const std::string path = dir.file("endless.txt");
    testing::writeFileBytes(path, "first\n" + std::string(longestLine + 1, 'x') + "\nthird\n");
    LineReader reader = LineReader::openFile(path);
    EXPECT_EQ(reader.next(), "first");
    EXPECT_EQ(reader.next(), std::nullopt);
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.problem(), "line 2 has no end within its first 1048576 characters (1 MiB)");
    EXPECT_TRUE(reader.atEnd());

    // A line of exactly 1 MiB is still a line.
    testing::writeFileBytes(path, std::string(longestLine, 'y') + "\n");
    LineReader atTheLimit = LineReader::openFile(path);
    EXPECT_EQ(atTheLimit.next(8), "yyyyyyyy");
    EXPECT_FALSE(atTheLimit.failed());
}

TEST(LineReader, ADeviceThatNeverEndsALineStopsTheReading)
{
    if (!std::filesystem::exists("/dev/zero"))
        GTEST_SKIP() << "no /dev/zero";
    LineReader reader = LineReader::openFile("/dev/zero");
    EXPECT_EQ(reader.next(64), std::nullopt);
    EXPECT_NE(reader.problem().find("has no end"), std::string::npos);
}

TEST(LineReader, FilesThatCannotBeReadAreToldWhy)
{
    TempDir dir;
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {dir.file("missing.txt"), "there is no such file"},
        {dir.path().string(), "it is a folder"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(unreadableFileReason(c.path), c.reason);
        LineReader reader = LineReader::openFile(c.path);
        EXPECT_TRUE(reader.failed());
        EXPECT_EQ(reader.problem(), c.reason);
        EXPECT_EQ(reader.next(), std::nullopt);
        EXPECT_TRUE(reader.atEnd());
    }
    testing::writeFileBytes(dir.file("there.txt"), "x");
    EXPECT_EQ(unreadableFileReason(dir.file("there.txt")), "");
}

TEST(LineReader, AMovedReaderGoesOnWhereItWas)
{
    TempDir dir;
    testing::writeFileBytes(dir.file("lines.txt"), "a\nb\nc\n");
    LineReader reader = LineReader::openFile(dir.file("lines.txt"));
    EXPECT_EQ(reader.next(), "a");
    LineReader moved = std::move(reader);
    EXPECT_EQ(moved.next(), "b");
    EXPECT_EQ(moved.next(), "c");
    EXPECT_TRUE(moved.atEnd());
}

} // namespace
} // namespace orvanta
