#include "ranking/ModelAveraging.h"

#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

constexpr double notCalculated = -1.0;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

bool gridMissing(const StandardErrorTable& table, int grid)
{
    const std::vector<double>& errors = table.standardErrors[at(grid)];
    for (std::size_t a = 1; a < errors.size(); ++a)
        if (errors[a] == notCalculated)
            return true;
    return false;
}

double estimate(const CovarianceFile& file, int param)
{
    return at(param) < file.estimates.size() ? file.estimates[at(param)] : 0.0;
}

std::string field(double value)
{
    return padToWidth(formatNumber(value, "0.0000E+00"), 16);
}

} // namespace

ModelAverages averageModels(const std::vector<AveragedModel>& models, int paramCount, double cHat)
{
    ModelAverages result;
    result.paramCount = std::max(paramCount, 0);
    const std::size_t size = at(result.paramCount) + 1;
    result.average.assign(size, 0.0);
    for (int g = 1; g <= gridCount; ++g) {
        result.standardError[at(g)].assign(size, 0.0);
        for (const AveragedModel& model : models)
            result.missing[at(g)] = result.missing[at(g)] || gridMissing(model.file.table, g);
    }

    for (int p = 1; p <= result.paramCount; ++p) {
        // Around the first model's estimate: the same as the weighted sum while the weights sum
        // to 1, and exact for a value every model shares (a fixed parameter), whose spread term
        // then is exactly 0 rather than a rounding remainder of the weights.
        const double reference = models.empty() ? 0.0 : estimate(models.front().file, p);
        double shift = 0.0;
        for (const AveragedModel& model : models)
            shift += model.weight * (estimate(model.file, p) - reference);
        result.average[at(p)] = reference + shift;
    }
    for (int g = 1; g <= gridCount; ++g) {
        if (result.missing[at(g)]) {
            std::fill(result.standardError[at(g)].begin() + 1, result.standardError[at(g)].end(),
                      notCalculated);
            continue;
        }
        std::vector<std::vector<double>> errors; // by model, then parameter; 0 for a fixed one
        for (const AveragedModel& model : models)
            errors.push_back(standardErrorsByParameter(model.file.table, g, result.paramCount));
        for (int p = 1; p <= result.paramCount; ++p) {
            double sum = 0.0;
            for (std::size_t q = 0; q < models.size(); ++q) {
                const double se = errors[q][at(p)];
                const double distance = estimate(models[q].file, p) - result.average[at(p)];
                sum += models[q].weight * std::sqrt(cHat * se * se + distance * distance);
            }
            result.standardError[at(g)][at(p)] = sum;
        }
    }
    return result;
}

std::string averagingText(const ModelAverages& averages)
{
    std::string text =
        "Parameter estimates and their SEs resulting from averaging across all ranked models.\n"
        "Each model contributes to the reported averages according to its AIC Weight.\n"
        "SEs will report a value of -1 if any model is missing an estimate for SE.\n"
        "\n"
        "Parameter_#  Parameter_Value     SEs_Grid_#1     SEs_Grid_#2     SEs_Grid_#3\n";
    for (int p = 1; p <= averages.paramCount; ++p) {
        text += padToWidth(formatNumber(p, "##0"), 11) + " " + field(averages.average[at(p)]);
        for (int g = 1; g <= gridCount; ++g)
            text += field(averages.standardError[at(g)][at(p)]);
        text += "\n";
    }
    return text;
}

} // namespace orvanta
