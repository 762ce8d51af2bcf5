#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {
namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();
const double largest = std::numeric_limits<double>::max();
const double smallestSubnormal = std::numeric_limits<double>::denorm_min();

// Expected texts write each blank as "·", so that leading and trailing blanks stay visible.
std::string blanks(std::string_view text)
{
    const std::string_view dot = "\u00B7";
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, dot.size()) == dot) {
            result += ' ';
            i += dot.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

// The exact decimal value of the largest double, 309 digits.
const std::string largestDigits =
    "17976931348623157081452742373170435679807056752584499659891747680315726078002853876058955"
    "86327668781715404589535143824642343213268894641827684675467035375169860499105765512820762"
    "45490090389328944075868508455133942304583236903222948165808559332123348274797826204144723"
    "168738177180919299881250404026184124858368";

// ---------------------------------------------------------------------------------------------
// formatNumber

struct PatternRow {
    double value;
    const char* pattern;
    const char* expected;
};

void expectFormats(const std::vector<PatternRow>& rows)
{
    for (const PatternRow& row : rows) {
        std::ostringstream value;
        value.precision(17);
        value << row.value;
        EXPECT_EQ(formatNumber(row.value, row.pattern), blanks(row.expected))
            << "value " << value.str() << ", pattern \"" << row.pattern << "\"";
    }
}

TEST(FormatNumber, WritesEveryPatternOfTheSystem)
{
    expectFormats({
        {42, "0", "42"},
        {42, "#0", "42"},
        {42, "##0", "42"},
        {42, "###0", "42"},
        {42, "####0", "42"},
        {7, "000", "007"},
        {12, "    000) ", "····012)·"},
        {5, "000)", "005)"},
        {5, " 000) ", "·005)·"},
        {5, "##0)", "5)"},
        {42, " ###0", "·42"},
        {0.5, "0.000", "0.500"},
        {0.5, "0.0000", "0.5000"},
        {0.5, "0.00000", "0.50000"},
        {0.5, "0.000000", "0.500000"},
        {3.14159, "##0.00", "3.14"},
        {3.14159, "###0.00", "3.14"},
        {3.14159, "####0.00", "3.14"},
        {3.14159, "#####0.00", "3.14"},
        {3.14159, "#####0.000", "3.142"},
        {3.14159, " ###0.000", "·3.142"},
        {3.14159, " #0.000", "·3.142"},
        {0.123456, "#0.0000", "0.1235"},
        {0.123456, "#0.0000#", "0.12346"},
        {2, "#0.0##", "2.0"},
        {2, "#0.0###", "2.0"},
        {2, "0.####", "2."},
        {2, "####0.####", "2."},
        {2, "####0.#####", "2."},
        {0.1, "####0.#####     ", "0.1·····"},
        {1.5, "#####0.0000000", "1.5000000"},
        {1.5, "#####0.0000000 ", "1.5000000·"},
        {1234.5, "0.0E+00", "1.2E+03"},
        {1234.5, "0.000E+00", "1.235E+03"},
        {1234.5, "0.0000E+00", "1.2345E+03"},
        {1234.5, "0.00000E+00", "1.23450E+03"},
        {1234.5, "0.0000000E+00", "1.2345000E+03"},
        {0.00012, "0.000E+000", "1.200E-004"},
        {0.00012, "0.0000E+000", "1.2000E-004"},
        {0.00012, " 0.000E+000", "·1.200E-004"},
        {0.00012, " 0.00000E+00", "·1.20000E-04"},
        {1, "0.0000E+000   ", "1.0000E+000···"},
        {1, "    0.0000E+000", "····1.0000E+000"},
        {1, "     0.0000E+000", "·····1.0000E+000"},
    });
}

TEST(FormatNumber, FollowsTheDigitPlaceRules)
{
    expectFormats({
        // "#" before the point never adds a blank; "###0" and "0" agree.
        {7, "###0", "7"},
        {1234, "###0", "1234"},
        {1234, "0", "1234"},
        {0, "###0", "0"},
        {0.5, "#.##", ".5"},
        // The point is written even when no "#" after it is used.
        {5, "####0.#####", "5."},
        {5.25, "####0.#####", "5.25"},
        {0.5, "#0.0000#", "0.5000"},
        // An integer part wider than its places is written in full, never cut.
        {12345, "##0", "12345"},
        {12345, "000", "12345"},
        {1e20, "0", "100000000000000000000"},
        {123456789.125, "0.00", "123456789.13"},
        {-12345, " ##0)", "-·12345)"},
        // Scientific notation: one mantissa digit per place before the point, at least as many
        // exponent digits as "0"s, a sign after "E+" always and after "E-" only when negative.
        {12345.6, "0.0000E+00", "1.2346E+04"},
        {0.005, "0.0000E+00", "5.0000E-03"},
        {0, "0.0000E+00", "0.0000E+00"},
        {1234.5, "#0.00E+00", "12.35E+02"},
        {1234.5, "0.00E-00", "1.23E03"},
        {0.00012, "0.00E-00", "1.20E-04"},
        {1e100, "0.0E+0", "1.0E+100"},
        {1e-300, "0.00E+00", "1.00E-300"},
        {largest, "0.00E+00", "1.80E+308"},
        {smallestSubnormal, "0.000E+000", "4.941E-324"},
    });
}

TEST(FormatNumber, RoundsTheExactDecimalValueHalvesAwayFromZero)
{
    expectFormats({
        {2.5, "0", "3"},
        {0.5, "0", "1"},
        {1.5, "0", "2"},
        {-2.5, "0", "-3"},
        {0.125, "0.00", "0.13"},
        {-0.125, "0.00", "-0.13"},
        {1234.5, "0.000E+00", "1.235E+03"},
        // Decimal literals that are not exact in binary round by the value the double holds:
        // 1.005 is 1.00499999..., 0.35 is 0.34999..., 0.45 is 0.45000...1, 2.675 is 2.67499...
        {1.005, "0.00", "1.00"},
        {0.35, "0.0", "0.3"},
        {0.45, "0.0", "0.5"},
        {2.675, "0.00", "2.67"},
        {-0.005, "0.00", "-0.01"},
        // A carry can reach new leading digits.
        {9.9996, "0.000", "10.000"},
        {99.5, "0", "100"},
        {0.999996, "0.0000E+00", "1.0000E+00"},
        {9.99996, "0.0000E+00", "1.0000E+01"},
    });
}

TEST(FormatNumber, PutsTheMinusSignInFrontOfTheWholeResult)
{
    expectFormats({
        {-5, " ###0", "-·5"},
        {-12, "    000) ", "-····012)·"},
        {-1234.5, "0.000E+00", "-1.235E+03"},
        {-0.00012, " 0.00000E+00", "-·1.20000E-04"},
        {-2, "0.####", "-2."},
    });
}

TEST(FormatNumber, WritesNoMinusSignForANegativeValueThatRoundsToZero)
{
    expectFormats({
        {-0.004, "0.00", "0.00"},
        {-0.4, "0", "0"},
        {-0.004, " ###0.00", "·0.00"},
        {-0.0, "0.0", "0.0"},
        {-0.0, "0.0000E+00", "0.0000E+00"},
        {-smallestSubnormal, "0.00", "0.00"},
    });
}

TEST(FormatNumber, WritesTheDigitsOfLargeNumbersExactly)
{
    EXPECT_EQ(formatNumber(largest, "0"), largestDigits);
    EXPECT_EQ(formatNumber(-largest, "#0.0"), "-" + largestDigits + ".0");
}

TEST(FormatNumber, GivesReadableTextForNonFiniteValuesAndPlainTextForAnEmptyPattern)
{
    EXPECT_EQ(formatNumber(nan, "0.00"), "NaN");
    EXPECT_EQ(formatNumber(infinity, "0.0000E+00"), "Infinity");
    EXPECT_EQ(formatNumber(-infinity, " ###0"), "-Infinity");
    EXPECT_EQ(formatNumber(2.5, ""), "2.5");
    EXPECT_EQ(formatNumber(-1.5e20, ""), "-1.5E+20");
}

TEST(FormatNumber, ReturnsTextUnchanged)
{
    EXPECT_EQ(formatNumber("Undefined", "####0.####"), "Undefined");
    EXPECT_EQ(formatNumber("  3.14159 ", "0.00"), "  3.14159 ");
    EXPECT_EQ(formatNumber("", "000"), "");
}

// ---------------------------------------------------------------------------------------------
// numberText and signedNumberText

struct TextRow {
    double value;
    const char* expected;
};

TEST(NumberText, WritesAtMostFifteenSignificantDigitsWithoutTrailingZeros)
{
    const std::vector<TextRow> rows = {
        {0, "0"},
        {-0.0, "0"},
        {12, "12"},
        {-3, "-3"},
        {0.25, "0.25"},
        {1234.5, "1234.5"},
        {-0.5, "-0.5"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {-2.0 / 3.0, "-0.666666666666667"},
        {0.123456789012345678, "0.123456789012346"},
        {1.0 + std::numeric_limits<double>::epsilon(), "1"},
        {123456789012345.0, "123456789012345"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
    };
    for (const TextRow& row : rows)
        EXPECT_EQ(numberText(row.value), row.expected) << "expected " << row.expected;
}

TEST(NumberText, SwitchesToExponentFormOutsideOneE04ToOneE15)
{
    const std::vector<TextRow> rows = {
        {1e15, "1E+15"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.9, "1E+15"}, // rounds to 15 digits first
        {1234567890123456.0, "1.23456789012346E+15"},
        {1.5e20, "1.5E+20"},
        {-1.5e20, "-1.5E+20"},
        {0.00001, "1E-05"},
        {0.0000999999999999999, "9.99999999999999E-05"},
        {std::nextafter(1e-4, 0.0), "0.0001"}, // rounds up into the plain range
        {1e100, "1E+100"},
        {1e-100, "1E-100"},
        // Rounded up it would lie beyond every double and not read back: cut instead.
        {largest, "1.79769313486231E+308"},
        {-largest, "-1.79769313486231E+308"},
        {std::nextafter(largest, 0.0), "1.79769313486231E+308"},
        {1.7976931348623e308, "1.7976931348623E+308"},
        {smallestSubnormal, "4.94065645841247E-324"},
    };
    for (const TextRow& row : rows)
        EXPECT_EQ(numberText(row.value), row.expected) << "expected " << row.expected;
}

TEST(NumberText, GivesReadableTextForNonFiniteValues)
{
    EXPECT_EQ(numberText(nan), "NaN");
    EXPECT_EQ(numberText(infinity), "Infinity");
    EXPECT_EQ(numberText(-infinity), "-Infinity");
}

TEST(NumberText, EveryFiniteValueReadsBackWithinItsFifteenDigits)
{
    // The extremes of the range, and doubles spread over all exponents by their bit patterns.
    std::vector<double> values = {largest,
                                  -largest,
                                  std::nextafter(largest, 0.0),
                                  smallestSubnormal,
                                  std::numeric_limits<double>::min(),
                                  1e308,
                                  9.999999999999999e307};
    std::uint64_t bits = 0x9E3779B97F4A7C15u;
    for (int i = 0; i < 20000; ++i) {
        bits = bits * 6364136223846793005u + 1442695040888963407u;
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value))
            values.push_back(value);
    }
    for (const double value : values) {
        const std::string text = numberText(value);
        const Converted<double> back = textToDouble(text);
        ASSERT_TRUE(back.ok()) << text;
        // Half a unit in the 15th digit (5e-15 of a mantissa of 1), and the rounding of the reading.
        EXPECT_LE(std::fabs(back.value() - value), 5.25e-15 * std::fabs(value)) << text;
        EXPECT_TRUE(textToDouble(signedNumberText(value)).ok()) << signedNumberText(value);
    }
}

TEST(NumberText, WritesIntegersAsTheirDigits)
{
    EXPECT_EQ(numberText(12), "12");
    EXPECT_EQ(numberText(-3), "-3");
    EXPECT_EQ(numberText(std::int16_t{-32768}), "-32768");
    EXPECT_EQ(numberText(std::numeric_limits<long long>::min()), "-9223372036854775808");
    EXPECT_EQ(numberText(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615");
    EXPECT_EQ(numberText(std::size_t{250}), "250");
}

TEST(SignedNumberText, PutsABlankOrAMinusInFrontAndDropsTheZeroBeforeAFraction)
{
    const std::vector<TextRow> rows = {
        {0, "·0"},
        {-0.0, "·0"},
        {-2, "-2"},
        {3, "·3"},
        {0.25, "·.25"},
        {-0.25, "-.25"},
        {1234.5, "·1234.5"},
        {-1234.5, "-1234.5"},
        {0.00001, "·1E-05"},
        {-1.5e20, "-1.5E+20"},
        {nan, "·NaN"},
        {-infinity, "-Infinity"},
    };
    for (const TextRow& row : rows)
        EXPECT_EQ(signedNumberText(row.value), blanks(row.expected)) << "expected " << row.expected;
    EXPECT_EQ(numberText(0.25), "0.25");
    EXPECT_EQ("Values for parameter #" + signedNumberText(3), "Values for parameter # 3");
}

// ---------------------------------------------------------------------------------------------
// padToWidth

TEST(PadToWidth, RightAlignsAndCutsToExactlyTheWidth)
{
    struct Row {
        std::string text;
        double width;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {"ab", 4, "··ab"},
        {"abc", 3, "abc"},
        {"abcdef", 3, "abc"},
        {"ab", 0, ""},
        {"ab", -1, ""},
        {"ab", 3.4, "·ab"},
        {"ab", 3.6, "··ab"},
        {"ab", 2.5, "ab"},   // halves to even: 2
        {"ab", 3.5, "··ab"}, // halves to even: 4
        {"ab", 0.5, ""},
        {"ab", nan, ""},
        {"", 3, "···"},
        {formatNumber(3.14159, "0.000"), 8, "···3.142"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(padToWidth(row.text, row.width), blanks(row.expected))
            << "text \"" << row.text << "\", width " << row.width;
}

TEST(PadToWidth, PadsTheNumberTextOfANumber)
{
    EXPECT_EQ(padToWidth(1234567, 5), "12345");
    EXPECT_EQ(padToWidth(42, 5), blanks("···42"));
    EXPECT_EQ(padToWidth(-2.5, 6), blanks("··-2.5"));
    EXPECT_EQ(padToWidth(0.25, 0), "");
    EXPECT_EQ(padToWidth(1.5e20, 10), blanks("···1.5E+20"));
}

TEST(PadToWidth, LimitsTheWidthToTheLargestField)
{
    EXPECT_EQ(padToWidth("ab", 1e300).size(), 32767u);
    EXPECT_EQ(padToWidth("ab", infinity).size(), 32767u);
    EXPECT_EQ(padToWidth("ab", -infinity), "");
}

// ---------------------------------------------------------------------------------------------
// leadingNumber

TEST(LeadingNumber, ReadsTheNumberAtTheStartAndIgnoresTheRest)
{
    struct Row {
        const char* text;
        double expected;
    };
    const std::vector<Row> rows = {
        {"··12.5abc", 12.5},
        {"1·000", 1000},
        {"··1,2", 1},
        {"abc", 0},
        {"-3E2", -300},
        {"", 0},
        {"···", 0},
        {"\t·7", 7},
        {"+4.5", 4.5},
        {"-·3", -3},
        {".5", 0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"-.", 0},
        {"1.2.3", 1.2},
        {"1·2·.·5", 12.5},
        {"2e-3", 0.002},
        {"1.5E+3cells", 1500},
        {"12E", 12},    // an "E" without digits is not part of the number
        {"12E+", 12},
        {"5·each", 5},
        {"··17.5··Label·text", 17.5},
        {"0.1", 0.1},
        {"007", 7},
        {"1E-400", 0},
        {"1E400", infinity},
        {"-1E400", -infinity},
        {"0E99999", 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(leadingNumber(blanks(row.text)), row.expected) << "text \"" << row.text << "\"";
}

TEST(LeadingNumber, UsesThePointAsDecimalSeparatorAndNeverGivesNegativeZero)
{
    EXPECT_EQ(leadingNumber("3,75"), 3.0);
    EXPECT_FALSE(std::signbit(leadingNumber("-0.0")));
    EXPECT_FALSE(std::signbit(leadingNumber("-abc")));
}

// ---------------------------------------------------------------------------------------------
// looksNumeric, textToDouble and textToInt16

struct NumericRow {
    const char* text;
    bool numeric;
};

TEST(LooksNumeric, AcceptsOnlyTextThatIsAsAWholeANumber)
{
    const std::vector<NumericRow> rows = {
        {"", false},
        {"···", false},
        {"·7·", true},
        {"\t7\t", true},
        {"7x", false},
        {"x7", false},
        {"7", true},
        {"-7", true},
        {"+7", true},
        {"3.25", true},
        {".5", true},
        {"5.", true},
        {".", false},
        {"-", false},
        {"-·7", false},
        {"1·000", false},
        {"1,234", true},
        {"1,234,567.5", true},
        {"-12,345", true},
        {"1,5", false},
        {"1,23", false},
        {"1234,567", false},
        {",123", false},
        {"1,,234", false},
        {"1,", false},
        {"1.5,0", false},
        {"1.234,5", false},
        {"1e5", true},
        {"1.5E-3", true},
        {"-2.5e+10", true},
        {"1E", false},
        {"1E+", false},
        {"E5", false},
        {"1E400", false},
        {"1E-400", true},
        {"NaN", false},
        {"Infinity", false},
        {"0x1A", false},
        {"(5)", false},
    };
    for (const NumericRow& row : rows)
        EXPECT_EQ(looksNumeric(blanks(row.text)), row.numeric) << "text \"" << row.text << "\"";
}

TEST(TextToDouble, ReadsWhatLooksNumericAccepts)
{
    struct Row {
        const char* text;
        double expected;
    };
    const std::vector<Row> rows = {
        {"·7·", 7},
        {"-1,234.5", -1234.5},
        {"1,234,567", 1234567},
        {"1.5E-3", 0.0015},
        {"0.1", 0.1},
        {"+.5", 0.5},
        {"1E-400", 0},
        {"1.7976931348623157E308", largest},
    };
    for (const Row& row : rows) {
        const Converted<double> number = textToDouble(blanks(row.text));
        ASSERT_TRUE(number.ok()) << "text \"" << row.text << "\"";
        EXPECT_EQ(number.value(), row.expected) << "text \"" << row.text << "\"";
    }
}

TEST(TextToDouble, ReportsTypeMismatchAndOverflow)
{
    struct Row {
        const char* text;
        ConversionError error;
    };
    const std::vector<Row> rows = {
        {"", ConversionError::TypeMismatch},
        {"7x", ConversionError::TypeMismatch},
        {"1,5", ConversionError::TypeMismatch},
        {"Undefined", ConversionError::TypeMismatch},
        {"1E400", ConversionError::Overflow},
        {"-1E400", ConversionError::Overflow},
        {"1.8E308", ConversionError::Overflow},
    };
    for (const Row& row : rows) {
        const Converted<double> number = textToDouble(row.text);
        ASSERT_FALSE(number.ok()) << "text \"" << row.text << "\"";
        EXPECT_EQ(number.error(), row.error) << "text \"" << row.text << "\"";
    }
}

TEST(TextToInt16, RoundsHalvesToEvenWithinTheInt16Range)
{
    struct Row {
        const char* text;
        int expected;
    };
    const std::vector<Row> rows = {
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"0.5", 0},
        {"1.5", 2},
        {"2.4999", 2},
        {"2.51", 3},
        {"·12·", 12},
        {"1,234", 1234},
        {"1E2", 100},
        {"32767", 32767},
        {"32767.4", 32767},
        {"-32768", -32768},
        {"-32768.5", -32768},
    };
    for (const Row& row : rows) {
        const Converted<std::int16_t> number = textToInt16(blanks(row.text));
        ASSERT_TRUE(number.ok()) << "text \"" << row.text << "\"";
        EXPECT_EQ(number.value(), row.expected) << "text \"" << row.text << "\"";
    }
}

TEST(TextToInt16, ReportsOverflowOutsideTheRangeAndTypeMismatchForText)
{
    struct Row {
        const char* text;
        ConversionError error;
    };
    const std::vector<Row> rows = {
        {"32767.5", ConversionError::Overflow}, // rounds to 32768
        {"32768", ConversionError::Overflow},
        {"-32768.6", ConversionError::Overflow},
        {"40000", ConversionError::Overflow},
        {"1E5", ConversionError::Overflow},
        {"1E400", ConversionError::Overflow},
        {"abc", ConversionError::TypeMismatch},
        {"", ConversionError::TypeMismatch},
        {"12·3", ConversionError::TypeMismatch},
    };
    for (const Row& row : rows) {
        const Converted<std::int16_t> number = textToInt16(blanks(row.text));
        ASSERT_FALSE(number.ok()) << "text \"" << row.text << "\"";
        EXPECT_EQ(number.error(), row.error) << "text \"" << row.text << "\"";
    }
}

TEST(Converted, ValueOfAFailedConversionThrowsItsError)
{
    const Converted<double> mismatch = textToDouble("abc");
    EXPECT_FALSE(mismatch);
    try {
        (void)mismatch.value();
        ADD_FAILURE() << "value() of a failed conversion returned";
    } catch (const ConversionFailure& failure) {
        EXPECT_EQ(failure.error(), ConversionError::TypeMismatch);
        EXPECT_NE(std::string(failure.what()).find("Type mismatch"), std::string::npos);
    }

    const Converted<std::int16_t> overflow = textToInt16("40000");
    try {
        (void)overflow.value();
        ADD_FAILURE() << "value() of a failed conversion returned";
    } catch (const ConversionFailure& failure) {
        EXPECT_EQ(failure.error(), ConversionError::Overflow);
        EXPECT_NE(std::string(failure.what()).find("Overflow"), std::string::npos);
    }

    const Converted<std::int16_t> fine = textToInt16("12");
    EXPECT_TRUE(fine);
    EXPECT_NO_THROW(EXPECT_EQ(fine.value(), 12));
}

// ---------------------------------------------------------------------------------------------
// Locale independence

// A global locale with "," as decimal point and "." as thousands separator, as many users have.
struct CommaDecimalPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(NumberTextLocale, ResultsDoNotDependOnTheGlobalLocale)
{
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimalPoint));
    const std::string formatted = formatNumber(1234.5, "####0.00");
    const std::string scientific = formatNumber(1234.5, "0.000E+00");
    const std::string plain = numberText(1234.5);
    const double leading = leadingNumber("1234.5");
    const Converted<double> converted = textToDouble("1,234.5");
    std::locale::global(previous);

    EXPECT_EQ(formatted, "1234.50");
    EXPECT_EQ(scientific, "1.235E+03");
    EXPECT_EQ(plain, "1234.5");
    EXPECT_EQ(leading, 1234.5);
    ASSERT_TRUE(converted.ok());
    EXPECT_EQ(converted.value(), 1234.5);
}

} // namespace
} // namespace orvanta
