#pragma once

// The warnings of a batch run as the user reads them: each distinct warning once, when it is
// first seen, and at the end the total of each that recurred. A minimizer evaluates the model
// thousands of times, and the model warns on every evaluation (one line per ignored increment
// record, a message box for sizes beyond 250 units); printing each would bury the results.

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

class RunWarnings {
public:
    explicit RunWarnings(std::ostream& err) : err_(err) {}

    // The increment records the model ignores when the measurement error is zero (those with an
    // increment d <= 0) and all records; they make the ignored records' warning one line.
    void setIncrementRecords(int ignorable, int total);

    // Lines of messages as the engine shows them. Lines that differ only in their numbers are one
    // warning; a line indented by a blank continues the line before it and is shown with it.
    void take(const std::string& text);

    // The totals of the warnings seen more than once.
    void finish();

private:
    struct Warning {
        std::string key;   // the line with its numbers masked
        std::string shown; // what was printed when it was first seen
        int count = 0;
        bool numbersDiffer = false;
        std::string firstLine;
    };

    void takeLine(const std::string& line);
    std::string shownText(const std::string& line) const;

    std::ostream& err_;
    std::vector<Warning> warnings_; // in the order first seen
    bool lastLineWasNew_ = false;
    int ignorableRecords_ = 0;
    int totalRecords_ = 0;
};

} // namespace orvanta
