// pagewright-cli: the four runs of Pagewright without a window.
#include <string>
#include <vector>

#include "cli/command_line.h"

int main(int argc, char** argv) {
    return pw::cli::runCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
