#include "ui/UserInterface.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(DateTimeName, WritesMonthDayHourMinuteAsDigitPairs)
{
    testing::FakeClock clock({2026, 2, 1, 9, 5, 42});
    EXPECT_EQ(dateTimeName(clock, ".mlc"), "02010905.mlc");
    clock.set({2026, 12, 31, 23, 59, 0});
    EXPECT_EQ(dateTimeName(clock, ".alg"), "12312359.alg");
}

TEST(FileFilter, OffersAllFilesFirst)
{
    EXPECT_EQ(fileFilter("Output files (*.ovo)|*.ovo"), "All files (*.*)|*.*|Output files (*.ovo)|*.ovo");
}

TEST(FileFilter, ExtensionOfAnEntry)
{
    const std::string filter = "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg|Text (*.txt;*.dat)|*.txt;*.dat";
    EXPECT_EQ(filterExtension(filter, 2), "alg");
    EXPECT_EQ(filterExtension(filter, 1), "");
    EXPECT_EQ(filterExtension(filter, 3), "");
    EXPECT_EQ(filterExtension(filter, 0), "");
    EXPECT_EQ(filterExtension(filter, 4), "");
    EXPECT_EQ(filterExtension("", 1), "");
}

} // namespace
} // namespace orvanta
