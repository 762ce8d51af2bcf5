#pragma once

#include <cstdint>
#include <string>

namespace orvanta {

struct DataPlotPage;
struct SessionState;
class UserInterface;

// What the model needs of the application around it: the user interface for its messages and
// for yielding, the session flags of running calculations, the summary window, the message
// panel, the plot pages of the results summary and the seed of its random numbers.
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

    // Replaces the summary window's text, opening it when it is not open.
    virtual void showSummary(const std::string& /*text*/) {}
    // Panel 1 of the message bar (stbMain5); empty text clears it.
    virtual void showProgress(const std::string& /*text*/) {}
    // Shows one page of data and prediction plots and returns when the user has closed it;
    // false when no further page is wanted ("&Quit plots", or the program ended).
    virtual bool showDataPlotPage(const DataPlotPage& /*page*/) { return false; }
    // The seed of the uniform random numbers of the next simulated chi-square test.
    virtual std::uint64_t chiSquareSeed() { return 1; }
};

} // namespace orvanta
