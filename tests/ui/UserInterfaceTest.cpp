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

} // namespace
} // namespace orvanta
