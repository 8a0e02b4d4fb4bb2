// Kills each run of pagewright-cli with SIGKILL at random moments over a directory of pages a
// person edited by hand, and checks after every kill that each page is byte for byte either its
// old version or the version an uninterrupted run makes, that no page went missing, and that
// running again completes with exactly the pages of an uninterrupted run and no work file left.
//
// Usage: pw_crash_runs --cli PROGRAM [--work DIR] [--kills N] [--pages N] [--runs a,b,..]
//                      [--seed N]
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/reliability/site_fixture.h"

namespace pw::reliability {
namespace {

struct Options {
    std::string cli;
    // Memory-backed when the machine has it: thousands of pages are laid out for every kill.
    std::string work = (::access("/dev/shm", W_OK) == 0 ? "/dev/shm/pw-crash-" : "/tmp/pw-crash-") +
                       std::to_string(::getpid());
    int kills = 20;
    uint64_t pages = 2000;
    std::vector<std::string> runs = {"pages", "links", "index", "yearbook"};
    uint64_t seed = 0;
};

double seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Tally {
    int kills = 0;
    int midRun = 0;   // the process was still running when killed
    int partial = 0;  // some but not all files were already in their new version
    int problems = 0;
    std::vector<double> newShare;
};

void complain(Tally& tally, const std::string& what) {
    if (++tally.problems <= 20) {
        std::fprintf(stderr, "  FAULT: %s\n", what.c_str());
    }
}

// Checks a directory after a kill: every file old or new, none missing. Returns the share of
// the files the run changes that are already in their new version.
double checkAfterKill(const RunCase& s, const Snapshot& before, const Snapshot& expected,
                      const Snapshot& now, const std::string& where, Tally& tally) {
    for (const auto& [name, old] : before) {
        auto it = now.find(name);
        if (it == now.end()) {
            if (expected.count(name)) {
                complain(tally, where + ": " + name + " is missing");
            }
            continue;
        }
        auto want = expected.find(name);
        bool isNew =
            want != expected.end() && s.comparable(it->second) == s.comparable(want->second);
        if (it->second != old && !isNew) {
            complain(tally, where + ": " + name + " is neither its old nor its new version (" +
                                std::to_string(it->second.size()) + " bytes)");
        }
    }
    for (const auto& [name, bytes] : now) {
        if (before.count(name) || isWorkFile(name)) {
            continue;
        }
        auto want = expected.find(name);
        if (want == expected.end()) {
            complain(tally, where + ": unexpected file " + name);
        } else if (s.comparable(bytes) != s.comparable(want->second)) {
            complain(tally, where + ": new file " + name + " is incomplete");
        }
    }
    // The share of the files the run changes that already hold their new version.
    uint64_t changing = 0, done = 0;
    for (const auto& [name, want] : expected) {
        auto old = before.find(name);
        if (old != before.end() && s.comparable(old->second) == s.comparable(want)) {
            continue;
        }
        ++changing;
        auto it = now.find(name);
        done += it != now.end() && s.comparable(it->second) == s.comparable(want) &&
                (old == before.end() || it->second != old->second);
    }
    return changing ? static_cast<double>(done) / static_cast<double>(changing) : 1.0;
}

void checkFinished(const RunCase& s, const Snapshot& expected, const Snapshot& now,
                   const std::string& where, Tally& tally) {
    for (const auto& [name, bytes] : now) {
        if (isWorkFile(name)) {
            complain(tally, where + ": work file " + name + " left after a completed run");
        } else if (!expected.count(name)) {
            complain(tally, where + ": extra file " + name + " after a completed run");
        } else if (s.comparable(bytes) != s.comparable(expected.at(name))) {
            complain(tally, where + ": " + name + " differs from an uninterrupted run");
        }
    }
    for (const auto& [name, bytes] : expected) {
        if (!now.count(name)) {
            complain(tally, where + ": " + name + " missing after a completed run");
        }
    }
}

bool crashScenario(const Options& options, const RunCase& s, std::mt19937_64& random) {
    std::string root = options.work + "/" + s.name;
    std::vector<Snapshot> expected(s.writtenDirs.size());

    // The uninterrupted run, timed a few times.
    std::vector<double> durations;
    for (int k = 0; k < 3; ++k) {
        s.lay(root);
        double begin = seconds();
        int status = test::runProcess(options.cli, s.argsIn(root)).status;
        durations.push_back(seconds() - begin);
        if (status != 0) {
            std::fprintf(stderr, "%s: the uninterrupted run failed (status %d)\n", s.name.c_str(),
                         status);
            return false;
        }
        for (size_t d = 0; d < s.writtenDirs.size(); ++d) {
            expected[d] = filesIn(root + "/" + s.writtenDirs[d]);
        }
    }
    // The shortest of the runs: on a busy machine a longer one would put many kills after
    // the run has ended.
    std::sort(durations.begin(), durations.end());
    double duration = durations[0];
    uint64_t files = 0;
    for (const Snapshot& e : expected) {
        files += e.size();
    }

    Tally tally;
    std::uniform_real_distribution<double> moment(0.0, duration);
    for (int kill = 0; kill < options.kills; ++kill) {
        s.lay(root);
        double delay = moment(random);
        test::Child child = test::startProcess(options.cli, s.argsIn(root));
        struct timespec pause;
        pause.tv_sec = static_cast<time_t>(delay);
        pause.tv_nsec = static_cast<long>((delay - static_cast<double>(pause.tv_sec)) * 1e9);
        ::nanosleep(&pause, nullptr);
        ::kill(child.pid, SIGKILL);
        const int status = test::waitFor(child).status;
        ++tally.kills;
        bool killed = status == 128 + SIGKILL;
        tally.midRun += killed;
        std::string where =
            s.name + " kill " + std::to_string(kill) + " at " + std::to_string(delay) + " s";
        double share = 0;
        for (size_t d = 0; d < s.writtenDirs.size(); ++d) {
            Snapshot now = filesIn(root + "/" + s.writtenDirs[d]);
            share += checkAfterKill(s, s.start[d], expected[d], now, where, tally);
        }
        share /= static_cast<double>(s.writtenDirs.size());
        tally.newShare.push_back(share);
        tally.partial += share > 0 && share < 1;

        if (test::runProcess(options.cli, s.argsIn(root)).status != 0) {
            complain(tally, where + ": the run after the kill failed");
        }
        for (size_t d = 0; d < s.writtenDirs.size(); ++d) {
            checkFinished(s, expected[d], filesIn(root + "/" + s.writtenDirs[d]),
                          where + " (run again)", tally);
        }
    }
    for (const auto& [path, files] : s.readOnly) {
        if (filesIn(path) != files) {
            complain(tally, s.name + ": the run changed its source directory " + path);
        }
    }
    std::sort(tally.newShare.begin(), tally.newShare.end());
    auto at = [&](double q) {
        return tally.newShare.empty()
                   ? 0.0
                   : tally.newShare[static_cast<size_t>(q * (tally.newShare.size() - 1))];
    };
    std::printf(
        "%-9s %5llu files, run %.2f s: %d kills, %d mid-run (%d with some pages new, some old); "
        "share of new versions at the kill: min %.2f, median %.2f, max %.2f; %s\n",
        s.name.c_str(), static_cast<unsigned long long>(files), duration, tally.kills, tally.midRun,
        tally.partial, at(0), at(0.5), at(1),
        tally.problems ? (std::to_string(tally.problems) + " FAULTS").c_str()
                       : "every page old or new, every run again complete");
    std::fflush(stdout);
    removeTree(root);
    return tally.problems == 0;
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i], value = argv[i + 1];
        if (key == "--cli") {
            options.cli = value;
        } else if (key == "--work") {
            options.work = value;
        } else if (key == "--kills") {
            options.kills = std::atoi(value.c_str());
        } else if (key == "--pages") {
            options.pages = std::strtoull(value.c_str(), nullptr, 10);
        } else if (key == "--seed") {
            options.seed = std::strtoull(value.c_str(), nullptr, 10);
        } else if (key == "--runs") {
            options.runs.clear();
            std::stringstream list(value);
            std::string item;
            while (std::getline(list, item, ',')) {
                options.runs.push_back(item);
            }
        }
    }
    return options;
}

}  // namespace
}  // namespace pw::reliability

int main(int argc, char** argv) {
    using namespace pw::reliability;
    Options options = parse(argc, argv);
    if (options.cli.empty()) {
        std::fprintf(stderr, "usage: %s --cli PROGRAM [--work DIR] [--kills N] [--pages N]\n",
                     argv[0]);
        return 2;
    }
    if (options.seed == 0) {
        options.seed = std::random_device()();
    }
    std::mt19937_64 random(options.seed);
    std::printf("seed %llu, %d kills per run\n", static_cast<unsigned long long>(options.seed),
                options.kills);
    removeTree(options.work);
    makeDirectories(options.work);
    isolateEnvironment(options.work + "/env");
    std::vector<RunCase> scenarios = buildRunCases(options.cli, options.work, options.pages);

    int passed = 0, failed = 0;
    for (const RunCase& s : scenarios) {
        if (std::find(options.runs.begin(), options.runs.end(), s.name) == options.runs.end()) {
            continue;
        }
        if (crashScenario(options, s, random)) {
            ++passed;
        } else {
            ++failed;
        }
    }
    removeTree(options.work);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
