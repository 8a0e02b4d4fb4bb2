#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace pw::reliability {

// The files of a directory by name (regular files only; hidden files included).
using Snapshot = std::map<std::string, std::string>;

using test::filesIn;
// Empties `dir` (creating it when missing) and writes `files` into it.
void writeDirectory(const std::string& dir, const Snapshot& files);
using test::readFile;
using test::removeTree;
using test::writeFile;
inline void makeDirectories(const std::string& path) {
    std::filesystem::create_directories(path);
}

// Replaces the random values the cross-links run writes for missing tag lines ("Nom" and
// digits) with a fixed text, and sorts the lines of each link block: the run lists pages in
// the order the directory gives, which changes as files are replaced. Two runs can then be
// compared.
std::string comparableLinks(const std::string& page);

// A ';'-separated data file of `records` records, `version` changing most values. Columns:
// 0 page name, 1 title, 2 link value (sets of five share one), 3 short name, 4 town (one per
// ten records), 5 price, 6 text.
std::string dataFile(uint64_t first, uint64_t last, int version);
// The page model: regions for tags 2 to 6, a one-line region, a link block (tag 99) and
// `padding` plain lines so pages have a realistic size.
std::string pageModel(int padding);
// The yearbook model: one row per record in the block of tag 100.
std::string yearbookModel();

// Pages as a person leaves them after editing some by hand: a note outside the regions on
// every third page, an edited region on every seventh, LF line ends on every eleventh, and a
// hand-written page and a text file the runs do not know.
void editByHand(Snapshot& pages);

// The environment of a test process: HOME, XDG_CONFIG_HOME, PAGEWRIGHT_INI and
// PAGEWRIGHT_REGISTRY all below `root`, never the person's own.
void isolateEnvironment(const std::string& root);

// One run of pagewright-cli over a starting state: the directories it writes (relative to a
// root, with their starting files) and its arguments, "@0", "@1".. standing for those
// directories under the root.
struct RunCase {
    std::string name;
    std::vector<std::string> writtenDirs;
    std::vector<Snapshot> start;
    std::vector<std::string> args;
    // The cross-links run writes random values for missing tag lines: compare them masked.
    bool masked = false;
    // Directories the run only reads, with the files they must still hold at the end.
    std::vector<std::pair<std::string, Snapshot>> readOnly = {};

    std::vector<std::string> argsIn(const std::string& root) const;
    // Writes the starting state under `root`.
    void lay(const std::string& root) const;
    std::string comparable(const std::string& bytes) const {
        return masked ? comparableLinks(bytes) : bytes;
    }
};

// Makes the inputs of the four runs in `work` (data files, models, the first edition's pages
// edited by hand, index pages and a yearbook page of the first edition, edited too) with `pages`
// records, and returns the pages, links, index and yearbook runs over them.
std::vector<RunCase> buildRunCases(const std::string& cli, const std::string& work, uint64_t pages);

// True for the name of a work file of the runs.
bool isWorkFile(const std::string& name);

}  // namespace pw::reliability
