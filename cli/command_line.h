#pragma once

#include <string>
#include <vector>

namespace pw::cli {

// Runs the command line given by `args` (without the program name) and returns the exit
// status: 0 completed, 1 inputs refused, 2 bad usage, 130 stopped.
int runCommandLine(const std::vector<std::string>& args);

}  // namespace pw::cli
