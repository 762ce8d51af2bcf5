#pragma once

#include <string>

namespace orvanta {

struct SessionState;
class UserInterface;

// What the model needs of the application around it: the user interface for its messages and
// for yielding, the session flags of running calculations, and the summary window for warnings.
class ModelHost {
public:
    virtual ~ModelHost() = default;
    virtual UserInterface& ui() = 0;
    virtual SessionState& session() = 0;
    // Whether the program has ended (the user quit from inside a calculation): the model's
    // loops then stop at their next yield.
    virtual bool programEnded() const { return false; }
    // Appends text to the summary window, opening it when it is not open.
    virtual void appendToSummary(const std::string& text) = 0;
};

} // namespace orvanta
