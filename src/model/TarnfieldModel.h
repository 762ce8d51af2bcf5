#pragma once

// The Tarnfield steady-state size-frequency and growth-increment model behind MODEL.

#include "model/ModelRoutine.h"
#include "model/ModelState.h"

#include <string>
#include <vector>

namespace orvanta {

class ModelHost;

// What the initialization window hands to the model before it calls MODEL with call code 0.
struct InitializationRequest {
    std::string frequencyFile; // empty: none
    std::string incrementFile; // empty: none
    std::string firstCellText = "1";
    IncrementErrorType errorType = IncrementErrorType::Gaussian;
};

class TarnfieldModel : public ModelRoutine {
public:
    explicit TarnfieldModel(ModelHost& host) : host_(host) {}

    void setInitializationRequest(InitializationRequest request) { request_ = std::move(request); }
    // Whether the last call with call code 0 read its data files; after a failure nothing of the
    // model or of the arguments was changed.
    bool initializationSucceeded() const { return initializationSucceeded_; }

    void MODEL(ModelArguments args) override;
    std::string lastFailure() const override { return state_.arithmeticFailure; }
    std::vector<std::string> dataFiles() const override;

    const ModelState& state() const { return state_; }
    ModelState& state() { return state_; }

    // The twenty description texts, numbered from 1.
    static const std::vector<std::string>& parameterDescriptions();
    // The text that opens the results summary.
    static std::string documentationText();

private:
    void initialize(ModelArguments& args);
    void evaluate(ModelArguments& args);
    void recordBest(const ModelArguments& args);

    ModelHost& host_;
    InitializationRequest request_;
    ModelState state_;
    bool initializationSucceeded_ = false;
};

} // namespace orvanta
