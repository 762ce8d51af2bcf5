#pragma once

#include "model/ModelRoutine.h"
#include "support/FakeClock.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanta::testing {

// A model routine made by hand: it records every call, may rewrite the vector it is given the
// way a real model cleans its parameters, lets a fake clock run for as long as the call is to
// take and returns the objective it is told to. Asked for derivatives (NF = -2) it writes them
// when told how.
class FakeModel : public ModelRoutine {
public:
    struct Call {
        std::int32_t nf = 0;
        std::vector<double> vector; // as the model received it
    };

    void MODEL(ModelArguments args) override
    {
        calls.push_back({args.NF, args.paramValues});
        if (duringCall)
            duringCall();
        if (rewrite)
            rewrite(args.paramValues);
        if (clock)
            clock->advance(callDuration);
        args.objectiveValue = objective(args.paramValues);
        args.observationCount = observationCount;
        if (args.NF == callCode::analyticalDerivatives && supplyDerivatives)
            supplyDerivatives(args.gradientVector, args.curvatureMatrix);
    }

    std::string lastFailure() const override { return failure; }

    std::vector<Call> calls;
    std::function<double(const std::vector<double>&)> objective = [](const std::vector<double>&) {
        return 0.0;
    };
    std::function<void(std::vector<double>&)> rewrite;
    std::function<void(std::vector<double>& gradient, std::vector<std::vector<double>>& curvature)>
        supplyDerivatives;
    std::function<void()> duringCall;
    FakeClock* clock = nullptr;
    double callDuration = 0.0;
    std::string failure;
    std::int32_t observationCount = 0; // what the model reports in its eighth argument
};

} // namespace orvanta::testing
