#include "model/ModelRoutine.h"

#include "algorithm/AlgorithmData.h"

#include <algorithm>
#include <cstddef>

namespace orvanta {

void callModel(ModelRoutine& model, AlgorithmData& data, ModelWorkspace& workspace, std::vector<double>& vector,
               std::int32_t NF)
{
    std::int32_t paramCount = data.paramCount;
    model.MODEL({workspace.objectiveValue, vector, data.paramSteps, data.paramDescriptions, data.fuseCodes,
                 paramCount, NF, workspace.observationCount, workspace.gradientVector, workspace.curvatureMatrix,
                 workspace.qaiccCount});
    data.paramCount = static_cast<std::int16_t>(paramCount);
}

void zeroModelDerivatives(ModelWorkspace& workspace, int paramCount)
{
    const auto size = static_cast<std::size_t>(std::max(paramCount, 0)) + 1;
    workspace.gradientVector.assign(size, 0.0);
    workspace.curvatureMatrix.resize(size);
    for (std::vector<double>& row : workspace.curvatureMatrix)
        row.assign(size, 0.0);
}

double modelCurvature(const ModelWorkspace& workspace, int row, int column)
{
    if (row < 0 || static_cast<std::size_t>(row) >= workspace.curvatureMatrix.size())
        return 0.0;
    const std::vector<double>& values = workspace.curvatureMatrix[static_cast<std::size_t>(row)];
    return column >= 0 && static_cast<std::size_t>(column) < values.size() ? values[static_cast<std::size_t>(column)]
                                                                           : 0.0;
}

double modelGradient(const ModelWorkspace& workspace, int param)
{
    return param >= 0 && static_cast<std::size_t>(param) < workspace.gradientVector.size()
               ? workspace.gradientVector[static_cast<std::size_t>(param)]
               : 0.0;
}

} // namespace orvanta
