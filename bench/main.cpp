// pagewright-bench: the helpers of scripts/bench.sh. It generates the benchmark's inputs,
// performs the file-system floor a run is compared against, and times a program.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/call_count.h"
#include "bench/data_generator.h"
#include "bench/floor_writer.h"
#include "bench/run_timer.h"

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  pagewright-bench data N FILE [EDITION]    N records of twelve ';'-separated columns\n"
    "  pagewright-bench short N FILE             N short records (a name and a title)\n"
    "  pagewright-bench model pages|links|yearbook|small|long-line FILE\n"
    "  pagewright-bench names N                  the page names of records 1 to N\n"
    "  pagewright-bench floor STEP ARGS...       file-system floor (see floor_writer.h)\n"
    "  pagewright-bench calls DATA MODEL DEST    the pages run's file-system calls per page\n"
    "  pagewright-bench time RESULT -- PROGRAM ARGS...\n"
    "                                            writes 'wall_ms peak_rss_kb status user_ms "
    "sys_ms'\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

bool parseCount(const std::string& text, uint64_t& count) {
    char* end = nullptr;
    count = std::strtoull(text.c_str(), &end, 10);
    return !text.empty() && end != nullptr && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usage();
    }
    const std::string& command = args[0];
    uint64_t count = 0;
    uint64_t edition = 0;
    if (command == "data" &&
        (args.size() == 3 || (args.size() == 4 && parseCount(args[3], edition))) &&
        parseCount(args[1], count)) {
        if (!pw::bench::writeDataFile(args[2], count, edition)) {
            std::perror(args[2].c_str());
            return 1;
        }
        return 0;
    }
    if (command == "short" && args.size() == 3 && parseCount(args[1], count)) {
        if (!pw::bench::writeShortDataFile(args[2], count)) {
            std::perror(args[2].c_str());
            return 1;
        }
        return 0;
    }
    if (command == "names" && args.size() == 2 && parseCount(args[1], count)) {
        for (uint64_t i = 1; i <= count; ++i) {
            std::puts(pw::bench::pageFileName(i).c_str());
        }
        return 0;
    }
    if (command == "model" && args.size() == 3) {
        pw::bench::ModelKind kind;
        if (args[1] == "pages") {
            kind = pw::bench::ModelKind::Pages;
        } else if (args[1] == "links") {
            kind = pw::bench::ModelKind::LinkPages;
        } else if (args[1] == "yearbook") {
            kind = pw::bench::ModelKind::Yearbook;
        } else if (args[1] == "small") {
            kind = pw::bench::ModelKind::Small;
        } else if (args[1] == "long-line") {
            kind = pw::bench::ModelKind::LongLine;
        } else {
            return usage();
        }
        if (!pw::bench::writeModel(args[2], kind)) {
            std::perror(args[2].c_str());
            return 1;
        }
        return 0;
    }
    if (command == "floor" && args.size() > 1) {
        return pw::bench::runFloor(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (command == "calls") {
        return pw::bench::countPagesCalls(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (command == "time" && args.size() > 3 && args[2] == "--") {
        return pw::bench::timeCommand(args[1],
                                      std::vector<std::string>(args.begin() + 3, args.end()));
    }
    return usage();
}
