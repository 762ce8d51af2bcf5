#pragma once

// Reading the two data files of the model by their fixed columns.

#include "model/ModelState.h"
#include "model/TarnfieldModel.h"
#include "ui/UserInterface.h"

#include <string>
#include <variant>

namespace orvanta {

// Why the data files could not be taken: the message to show, exactly as the user sees it.
struct DataFileProblem {
    std::string text;
    std::string title;
    Icon icon = Icon::Information;
};

// Reads the files the request names (the increment file first, yielding once per record; then
// the frequency file) and fixes the analysis type. Nothing is shown to the user here: a
// problem comes back as the message to show.
std::variant<ModelData, DataFileProblem> readModelData(const InitializationRequest& request, UserInterface& ui);

} // namespace orvanta
