#pragma once

#include "app/SessionState.h"

namespace orvanta {

inline constexpr const char* tarnfieldModelTitle = "Tarnfield Size Frequency and Growth Increment Model";

// Stores the model's title in the session, for the main menu and the reports.
void setModelTitle(SessionState& session);

} // namespace orvanta
