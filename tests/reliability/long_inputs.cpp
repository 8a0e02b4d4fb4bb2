// The huge inputs, too slow for every test run: a 100 MB line in a model and in a page, and data
// files of 100,000 and 1,000,000 records of 150 columns. Each run must complete, keep the long
// line whole, and use memory bounded by the longest line, not by the file: the peak resident
// size of each run is printed so the two data sizes can be set side by side.
//
// Usage: pw_reliability_long --cli PROGRAM [--work DIR]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/reliability/site_fixture.h"

namespace pw::reliability {
namespace {

struct Measure {
    int status = -1;
    long peakKb = 0;
    double seconds = 0;
};

// Runs the program under /usr/bin/time, which reports the peak resident size of the program
// alone: a child of this process would count this process's own peak, which holds the
// 100 MB line while it makes the inputs.
Measure measure(const std::string& cli, const std::vector<std::string>& args) {
    auto begin = std::chrono::steady_clock::now();
    char pattern[] = "/tmp/pw-peak-XXXXXX";
    int fd = ::mkstemp(pattern);
    if (fd >= 0) {
        ::close(fd);
    }
    std::vector<std::string> timed = {"-f", "%M", "-o", pattern, cli};
    timed.insert(timed.end(), args.begin(), args.end());
    Measure m;
    m.status = test::runProcess("/usr/bin/time", timed).status;
    m.peakKb = std::atol(readFile(pattern).c_str());
    ::unlink(pattern);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    return m;
}

int g_failed = 0;
int g_passed = 0;

void report(const std::string& what, const Measure& m, bool ok) {
    bool exited = m.status == 0;
    std::printf("%-58s %8.1f s  peak %8ld KB  %s\n", what.c_str(), m.seconds, m.peakKb,
                exited && ok ? "ok" : "FAILED");
    std::fflush(stdout);
    (exited && ok ? g_passed : g_failed)++;
}

// Writes `records` records of 150 short columns; the first names one of `names` pages.
void writeWideData(const std::string& path, uint64_t records, uint64_t names) {
    std::ofstream out(path, std::ios::binary);
    std::string line;
    for (uint64_t r = 0; r < records; ++r) {
        // The title follows the page, so each page is written once and then found unchanged:
        // the run reads every record without writing a million files.
        line = "p" + std::to_string(r % names) + ";T" + std::to_string(r % names);
        for (int c = 2; c < 150; ++c) {
            line += ";v";
            line += std::to_string(c);
        }
        line += '\n';
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
}

bool holdsLine(const std::string& path, size_t atLeast) {
    std::string bytes = readFile(path);
    size_t run = 0, longest = 0;
    for (char c : bytes) {
        run = (c == '\r' || c == '\n') ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest >= atLeast;
}

}  // namespace
}  // namespace pw::reliability

int main(int argc, char** argv) {
    using namespace pw::reliability;
    std::string cli, work = "/tmp/pw-long-" + std::to_string(::getpid());
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i];
        (key == "--cli" ? cli : work) = argv[i + 1];
    }
    if (cli.empty()) {
        std::fprintf(stderr, "usage: %s --cli PROGRAM [--work DIR]\n", argv[0]);
        return 2;
    }
    removeTree(work);
    makeDirectories(work + "/site");
    isolateEnvironment(work + "/env");
    const size_t kLine = 100u << 20;
    std::string big(kLine, 'L');

    // A 100 MB line in the model, through the pages run, then in a page for the other runs.
    std::string model = pageModel(2);
    model.insert(model.find("<body>") + 6, "\n" + big + "\n");
    writeFile(work + "/model.htm", model);
    std::string book = yearbookModel();
    book.insert(book.find("<table>"), big + "\n");
    writeFile(work + "/yearbook.htm", book);
    // The measuring process must not hold the line itself while it measures its children.
    model = book = big = std::string();
    report("baseline: /bin/true", measure("/bin/true", {}), true);
    writeFile(work + "/data.txt", dataFile(1, 3, 1));
    std::vector<std::string> pages = {
        "pages",  "--data",       work + "/data.txt", "--model", work + "/model.htm",
        "--dest", work + "/site", "--separator",      ";",       "--name-tags",
        "first",  "--title-tag",  "second",           "--quiet"};
    Measure m = measure(cli, pages);
    report("pages: model with a 100 MB line, 3 pages", m,
           holdsLine(work + "/site/item-0000003.htm", kLine));
    m = measure(cli, pages);
    report("pages: again over pages with a 100 MB line", m,
           holdsLine(work + "/site/item-0000003.htm", kLine));
    m = measure(
        cli, {"links", "--dir", work + "/site", "--link-tag", "2", "--text-tag", "3", "--quiet"});
    report("links: pages with a 100 MB line", m, holdsLine(work + "/site/item-0000001.htm", kLine));
    makeDirectories(work + "/index");
    m = measure(cli, {"index", "--source", work + "/site", "--dest", work + "/index",
                      "--criterion-tag", "4", "--text-tag", "3", "--quiet"});
    report("index: source pages with a 100 MB line", m, true);
    makeDirectories(work + "/book");
    m = measure(cli, {"yearbook", "--data", work + "/data.txt", "--model", work + "/yearbook.htm",
                      "--dest", work + "/book", "--separator", ";", "--quiet"});
    report("yearbook: model with a 100 MB line", m,
           holdsLine(work + "/book/Index_One_Page.htm", kLine));
    removeTree(work + "/site");
    removeTree(work + "/index");
    removeTree(work + "/book");

    // 100,000 and 1,000,000 records of 150 columns: the same peak memory for both.
    writeFile(work + "/wide-model.htm", pageModel(2));
    for (uint64_t records : {100'000ull, 1'000'000ull}) {
        std::string data = work + "/wide.txt";
        writeWideData(data, records, 1000);
        std::string dest = work + "/wide-" + std::to_string(records);
        makeDirectories(dest);
        m = measure(
            cli, {"pages", "--data", data, "--model", work + "/wide-model.htm", "--dest", dest,
                  "--separator", ";", "--name-tags", "first", "--title-tag", "second", "--quiet"});
        report("pages: " + std::to_string(records) + " records x 150 columns, 1000 pages", m,
               filesIn(dest).size() == 1000);
        removeTree(dest);
        makeDirectories(dest);
        writeFile(work + "/yearbook-small.htm", yearbookModel());
        m = measure(cli, {"yearbook", "--data", data, "--model", work + "/yearbook-small.htm",
                          "--dest", dest, "--separator", ";", "--quiet"});
        std::string page = readFile(dest + "/Index_One_Page.htm");
        uint64_t rows = 0;
        for (size_t at = 0; (at = page.find("<tr>", at)) != std::string::npos; ++at) {
            ++rows;
        }
        report("yearbook: " + std::to_string(records) + " records x 150 columns", m,
               rows == records);
        removeTree(dest);
    }
    removeTree(work);
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed ? 1 : 0;
}
