// The .mms file, character for character.

#include "ranking/RankingFile.h"

#include "support/TextLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::linesOf;

const std::string aiccHeading =
    " Model     -nln[L] #Prms        AICc       dAICc      AIC Wt                     "
    "       Algorithm file                           Covariance file  Notes>";

ModelEntry ranked(int entryNumber, double negLogL, int K, double aicc, double delta, double weight,
                  std::string algorithmFile, std::string covarianceFile, std::string notes = {})
{
    ModelEntry e;
    e.entryNumber = static_cast<std::int16_t>(entryNumber);
    e.negLogL = negLogL;
    e.K = static_cast<std::int16_t>(K);
    e.aicc = aicc;
    e.deltaAicc = delta;
    e.aicWeight = weight;
    e.algorithmFile = std::move(algorithmFile);
    e.covarianceFile = std::move(covarianceFile);
    e.notes = std::move(notes);
    return e;
}

std::vector<ModelEntry> threeModels()
{
    return {ranked(2, 50.0, 5, 100.0, 0.0, 0.7297, "cycle.alg", "cycle.cov", "with the annual cycle in k"),
            ranked(3, 51.0, 4, 102.0, 2.0, 0.2684, "plain.alg", "No covariance file found"),
            ranked(1, 55.0, 6, 110.0, 10.0, 0.004917, "gamma.alg", "gamma.cov")};
}

TEST(RankingFile, ThreeModelsRankedByAiccGiveFiveLines)
{
    const std::vector<std::string> lines = linesOf(rankingFileText(threeModels(), 1.0, std::nullopt));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "     3 < Number of models ranked");
    EXPECT_EQ(lines[1], aiccHeading);
    EXPECT_EQ(lines[2], "     1  5.0000E+01     5  1.0000E+02  0.0000E+00     0.72970  " +
                            std::string(31, ' ') + "cycle.alg  " + std::string(31, ' ') +
                            "cycle.cov  with the annual cycle in k");
    EXPECT_EQ(lines[3], "     2  5.1000E+01     4  1.0200E+02  2.0000E+00     0.26840  " +
                            std::string(31, ' ') + "plain.alg  " + std::string(16, ' ') +
                            "No covariance file found  ");
    EXPECT_TRUE(lines[4].starts_with("     3  5.5000E+01     6  1.1000E+02  1.0000E+01     0.00492  "));
    // The fields line up under their headings.
    for (std::size_t i = 2; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].find("  ", 100), 102u);
        EXPECT_EQ(lines[i].substr(102, 2), "  ");
        EXPECT_EQ(lines[i].substr(144, 2), "  ");
    }
}

TEST(RankingFile, QaiccRankingNamesItsCHat)
{
    std::vector<ModelEntry> entries = threeModels();
    for (ModelEntry& e : entries) {
        e.qaicc = *e.aicc / 2.5;
        e.deltaQaicc = *e.deltaAicc / 2.5;
        e.qaicWeight = 0.25;
    }
    const std::vector<std::string> lines = linesOf(rankingFileText(entries, 2.5, std::nullopt));
    EXPECT_EQ(lines[0], "     3 < Number of models ranked; C-hat for QAICc calculation: 2.500");
    EXPECT_EQ(lines[1],
              " Model     -nln[L] #Prms       QAICc      dQAICc     QAIC Wt                            "
              "Algorithm file                           Covariance file  Notes>");
    EXPECT_TRUE(lines[2].starts_with("     1  5.0000E+01     5  4.0000E+01  0.0000E+00     0.25000  "));
}

TEST(RankingFile, LongNamesAreCutAndMissingValuesReadUndefined)
{
    const std::string name41 = "a-very-long-algorithm-file-name-12345.alg";
    ASSERT_EQ(name41.size(), 41u);
    std::vector<ModelEntry> entries = threeModels();
    entries[0].algorithmFile = name41;
    entries[2].aicc.reset();
    entries[2].deltaAicc.reset();
    entries[2].aicWeight.reset();
    const std::vector<std::string> lines = linesOf(rankingFileText(entries, 1.0, std::nullopt));
    EXPECT_EQ(lines[2].substr(62, 40), name41.substr(0, 40));
    EXPECT_EQ(lines[4].substr(0, 62), "     3  5.5000E+01     6   undefined   undefined   undefined  ");
}

TEST(RankingFile, TheAveragingResultsFollowAfterAnEmptyLine)
{
    const std::string averaging = "Parameter estimates ...\nParameter_#  Parameter_Value\n";
    const std::string text = rankingFileText(threeModels(), 1.0, averaging);
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "Parameter estimates ...");
    EXPECT_EQ(lines[8], "");
    EXPECT_TRUE(text.ends_with("Parameter_#  Parameter_Value\n\n"));
}

} // namespace
} // namespace orvanta
