#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch evaluate [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]
//                        (--params V1,V2,...,V20 | --alg FILE)
// Initializes the model from the files as the initialization window does, takes the parameter
// values from --params or from an algorithm file (read as "&Load algorithm data" reads it, its
// fuse groups applied), evaluates once with call code 1 and prints the objective, its parts and
// the cleaned parameter values.
int runEvaluateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
