#pragma once

// A small model put in place directly for the results summary: six frequency cells of width 10
// and a few tagging records in two sets, small enough to check the report by hand.

#include "model/TarnfieldModel.h"
#include "support/FakeModelHost.h"
#include "support/SmallModelData.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace orvanta::testing {

class SummaryTest : public ::testing::Test {
protected:
    SummaryTest()
    {
        values.assign(modelParamCapacity + 1, 0.0);
        descriptions = TarnfieldModel::parameterDescriptions();
        FrequencyData& f = model.state().frequencies;
        addSixFrequencyCells(f);
        IncrementData& inc = model.state().increments;
        addRecord(inc, {1, 20.0, 8.0, 100, 465});
        addRecord(inc, {2, 35.0, 4.0, 120, 480});
        addRecord(inc, {1, 25.0, 7.0, 90, 400});
        model.state().recordResults.assign(4, RecordResult{});
        model.state().analysisType = AnalysisType::Both;
        model.state().frequencyFile = "/data/freq.dat";
        model.state().incrementFile = "/data/inc.dat";
        host.sessionState.algorithmFileName = "/data/fit.alg";

        // L-infinity 60 +- 5, k 0.4 +- 0.05, mortality 0.8, 5 % measurement error.
        values[1] = 60;
        values[2] = 5;
        values[3] = 0.4;
        values[4] = 0.05;
        values[9] = 5;
        values[10] = 0.8;
        values[18] = values[19] = values[20] = notUsed;
        for (int i : {1, 2, 3, 4, 10})
            steps[i] = 0.1;
    }

    static void addRecord(IncrementData& inc, IncrementRecord record)
    {
        inc.records.push_back(record);
        ++inc.recordCount;
        inc.highestSet = std::max(inc.highestSet, record.setNumber);
        ++inc.recordsPerSet[static_cast<std::size_t>(record.setNumber)];
    }

    void frequenciesOnly()
    {
        model.state().analysisType = AnalysisType::SizeFrequency;
        model.state().increments = IncrementData{};
        model.state().recordResults.assign(1, RecordResult{});
    }

    void incrementsOnly()
    {
        model.state().analysisType = AnalysisType::Increments;
        model.state().frequencies = FrequencyData{};
    }

    void call(int NF)
    {
        double objective = 0.0;
        model.MODEL({objective, values, steps, descriptions, codes, paramCount, NF, observations, gradient,
                     curvature, qaicc});
    }

    // Evaluates once, then runs the summary; returns the report.
    std::string summarize()
    {
        call(1);
        call(-1);
        return host.sessionState.reportText;
    }

    // The report's lines (without their line breaks).
    static std::vector<std::string> lines(const std::string& text)
    {
        std::vector<std::string> result;
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line))
            result.push_back(line);
        return result;
    }

    static bool hasLine(const std::string& text, const std::string& wanted)
    {
        for (const std::string& line : lines(text))
            if (line == wanted)
                return true;
        return false;
    }

    // The first line that starts with prefix; empty when none.
    static std::string lineStarting(const std::string& text, const std::string& prefix)
    {
        for (const std::string& line : lines(text))
            if (line.rfind(prefix, 0) == 0)
                return line;
        return {};
    }

    FakeModelHost host;
    ScriptedUi& ui = host.scriptedUi;
    TarnfieldModel model{host};
    std::vector<double> values;
    std::vector<double> steps = std::vector<double>(21, 0.0);
    std::vector<std::string> descriptions;
    std::vector<std::string> codes = std::vector<std::string>(21, "~~");
    std::int32_t paramCount = 20;
    std::int32_t observations = 0;
    std::vector<double> gradient;
    std::vector<std::vector<double>> curvature;
    std::int32_t qaicc = 0;
};

} // namespace orvanta::testing
