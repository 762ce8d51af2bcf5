#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace orvanta::testing {

// The lines of a text, without their line ends ("\n"; a "\r" before it stays).
inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace orvanta::testing
