#include "priors/PriorSpec.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvanta {
namespace {

TEST(PriorSpec, TheDefaultIsTheUniformUnboundedPriorWithUnsetAndUnusedTerms)
{
    const PriorSpec distribution;
    EXPECT_EQ(distribution.typeCode, "U");
    EXPECT_TRUE(isUnsetPriorTerm(distribution.firstTermMean));
    EXPECT_TRUE(isUnsetPriorTerm(distribution.firstTermSD));
    EXPECT_EQ(distribution.firstTermMean, 1e-100);
    EXPECT_FALSE(distribution.secondTermMean.isNumber());
    EXPECT_EQ(distribution.secondTermMean.text(), "Unused");
    EXPECT_EQ(distribution.secondTermSD.text(), "Unused");
    EXPECT_FALSE(isUnsetPriorTerm(0.0));
}

TEST(PriorSpec, EachCodeLetterHasItsIndexAndDisplayName)
{
    struct Case {
        const char* code;
        int index;
        const char* name;
    };
    const Case cases[] = {
        {"U", 1, "Uniform - unbounded"},
        {"T", 2, "Uniform - bounded"},
        {"N", 3, "Gaussian or Normal"},
        {"E", 4, "Exponential"},
        {"G", 5, "Gamma"},
        {"B", 6, "Beta"},
        {"S", 7, "Left-side cliff"},
        {"D", 8, "Right-side cliff"},
        {"L", 9, "Ln-normal"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(priorTypeIndex(c.code), c.index) << c.code;
        EXPECT_EQ(priorTypeName(c.code), c.name) << c.code;
        EXPECT_EQ(priorTypeNames[static_cast<std::size_t>(c.index)], c.name);
        EXPECT_EQ(static_cast<int>(priorType(c.code)), c.index) << c.code;
    }
}

TEST(PriorSpec, ACodeThatNamesNoTypeHasIndexZeroAndNoName)
{
    for (const char* code : {"", " ", "X", "u", "UN", "?"}) {
        EXPECT_EQ(priorTypeIndex(code), 0) << '"' << code << '"';
        EXPECT_EQ(priorTypeName(code), "") << '"' << code << '"';
        EXPECT_EQ(priorType(code), PriorType::None) << '"' << code << '"';
    }
}

TEST(PriorTerm, TextThatReadsWhollyAsANumberIsThatNumber)
{
    struct Case {
        const char* text;
        bool isNumber;
        double number;
    };
    const Case cases[] = {
        {" 1.000E+001", true, 10.0}, {"-2.5", true, -2.5}, {"1.000E-100", true, 1e-100},
        {"Unused", false, 0.0},      {"", false, 0.0},     {"10 kg", false, 0.0},
        {"1E+999", false, 0.0}, // beyond the range of double: kept as the text it is
    };
    for (const Case& c : cases) {
        const PriorTerm term(c.text);
        ASSERT_EQ(term.isNumber(), c.isNumber) << c.text;
        if (c.isNumber) {
            EXPECT_EQ(term.number(), c.number) << c.text;
            EXPECT_EQ(term.text(), "") << c.text;
        } else {
            EXPECT_FALSE(term.number().has_value()) << c.text;
            EXPECT_EQ(term.text(), c.text);
        }
    }
}

TEST(PriorTerm, ANumberAndTheTextOfTheSameNumberAreEqual)
{
    EXPECT_EQ(PriorTerm(10.0), PriorTerm("1.000E+001"));
    EXPECT_EQ(PriorTerm(), PriorTerm("Unused"));
    EXPECT_NE(PriorTerm(10.0), PriorTerm("Unused"));
    PriorSpec bounded{"T", 0.0, 0.0, 10.0, 0.0};
    EXPECT_EQ(bounded, (PriorSpec{"T", 0.0, 0.0, "10", "0"}));
    EXPECT_NE(bounded, PriorSpec{});
}

} // namespace
} // namespace orvanta
