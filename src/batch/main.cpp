#include "batch/BatchProgram.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    return orvanta::runToTheEnd(
        [&] {
            std::vector<std::string> args(argv + 1, argv + argc);
            return orvanta::runBatch(args, std::cout, std::cerr);
        },
        std::cerr);
}
