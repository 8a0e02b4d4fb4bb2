#pragma once

#include <string>
#include <vector>

namespace pw::cli {

// Runs the command line given by `args` (without the program name) and returns the exit
// status: 0 completed with every file written or unchanged (check: nothing to report), 1 inputs
// refused or unreadable, 2 bad usage, 3 completed with files not written, 4 check found
// warnings, 130 stopped.
int runCommandLine(const std::vector<std::string>& args);

}  // namespace pw::cli
