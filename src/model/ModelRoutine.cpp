#include "model/ModelRoutine.h"

#include "algorithm/AlgorithmData.h"

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

} // namespace orvanta
