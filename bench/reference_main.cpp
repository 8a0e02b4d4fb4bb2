// pagewright-bench-reference: the page-by-page reference implementations of the cross-links, index
// and yearbook runs (every page read again for every other page, every entry scanned again for
// every index page, the whole yearbook page rewritten for every record). scripts/bench.sh times
// them beside the linear runs of pagewright-cli at sizes where they finish in seconds.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/markers.h"
#include "tests/index/reference_runs.h"
#include "tests/links/reference_links_run.h"

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  pagewright-bench-reference links DIR/ LINK_TAG TEXT_TAG\n"
    "  pagewright-bench-reference index SOURCE/ DEST/ CRITERION_TAG TEXT_TAG\n"
    "  pagewright-bench-reference yearbook DATA SEPARATOR MODEL DEST/ INSTALL_DIR/\n"
    "Directories end with '/'; tags are numbers.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "links") {
        pw::test::ReferenceHyperlinks(args[1], args[2], args[3], "").run();
        return 0;
    }
    if (args.size() == 5 && args[0] == "index") {
        pw::reference::indexRun(args[1], args[2], pw::startMarkerOf(args[3]),
                                pw::startMarkerOf(args[4]));
        return 0;
    }
    if (args.size() == 6 && args[0] == "yearbook" && args[2].size() == 1) {
        pw::reference::yearbookRun(args[1], args[2][0], args[3], args[4], args[5]);
        return 0;
    }
    return usage();
}
