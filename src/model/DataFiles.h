#pragma once

// Reading the two data files of the model by their fixed columns.

#include "model/ModelState.h"
#include "model/TarnfieldModel.h"
#include "ui/UserInterface.h"

#include <string>
#include <variant>

namespace orvanta {

// Why the data files could not be taken: the message to show, exactly as the user sees it. A
// file that could not be read at all says so; the caller adds what that means for the model,
// which depends on whether it was initialized before (initializationOutcome).
struct DataFileProblem {
    std::string text;
    std::string title;
    Icon icon = Icon::Information;
    bool unreadable = false;
};

// The closing sentence of an unreadable file's message: a model initialized before keeps the
// data it was initialized with.
std::string initializationOutcome(bool initializedBefore);

// Reads the files the request names (the increment file first, yielding once per record; then
// the frequency file) and fixes the analysis type. Nothing is shown to the user here: a
// problem comes back as the message to show.
std::variant<ModelData, DataFileProblem> readModelData(const InitializationRequest& request, UserInterface& ui);

} // namespace orvanta
