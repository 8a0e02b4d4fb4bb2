#include "tests/reliability/site_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace pw::reliability {

void writeDirectory(const std::string& dir, const Snapshot& files) {
    removeTree(dir);
    makeDirectories(dir);
    for (const auto& [name, bytes] : files) {
        writeFile(dir + "/" + name, bytes);
    }
}

std::string comparableLinks(const std::string& page) {
    std::string masked;
    masked.reserve(page.size());
    for (size_t i = 0; i < page.size();) {
        if (page.compare(i, 3, "Nom") == 0 && i + 3 < page.size() && page[i + 3] >= '0' &&
            page[i + 3] <= '9') {
            masked += "Nom#";
            i += 3;
            while (i < page.size() && page[i] >= '0' && page[i] <= '9') {
                ++i;
            }
        } else {
            masked += page[i++];
        }
    }
    std::string out;
    std::vector<std::string> block;
    bool inside = false;
    size_t start = 0;
    while (start < masked.size()) {
        size_t end = masked.find('\n', start);
        end = end == std::string::npos ? masked.size() : end + 1;
        std::string line = masked.substr(start, end - start);
        start = end;
        if (inside && line.find("<!--/tag99-->") == std::string::npos) {
            block.push_back(line);
            continue;
        }
        if (inside) {
            std::sort(block.begin(), block.end());
            for (const std::string& l : block) {
                out += l;
            }
            block.clear();
            inside = false;
        }
        out += line;
        inside = line.find("<!--tag99-->") != std::string::npos &&
                 line.find("<!--/tag99-->") == std::string::npos;
    }
    for (const std::string& l : block) {
        out += l;
    }
    return out;
}

std::string dataFile(uint64_t first, uint64_t last, int version) {
    std::string data;
    char line[512];
    for (uint64_t i = first; i <= last; ++i) {
        unsigned long long n = i;
        std::string link =
            i % 5 == 0 ? "Set " + std::to_string(i / 25) : "Single " + std::to_string(i);
        std::snprintf(line, sizeof line,
                      "item-%07llu;Piece %llu, edition %d;%s;Name %llu;Town-%04llu;%llu;"
                      "Text of piece %llu as of edition %d, with <b>markup</b>\n",
                      n, n, version, link.c_str(), n, (n + static_cast<unsigned>(version)) / 10,
                      (n * 7 + static_cast<unsigned>(version) * 13) % 900, n, version);
        data += line;
    }
    return data;
}

std::string pageModel(int padding) {
    std::string model =
        "<!DOCTYPE html>\n<html>\n<head>\n<meta name=\"GENERATOR\" content=\"Hand written\">\n"
        "<title>Model</title>\n</head>\n<body>\n"
        "<p class=\"ref\">\n<!--tag2-->\nlink value\n<!--/tag2-->\n</p>\n"
        "<h1><!--tag3-->name<!--/tag3--></h1>\n"
        "<p class=\"town\">\n<!--tag4-->\ntown\n<!--/tag4-->\n</p>\n"
        "<p class=\"price\">\n<!--tag5-->\n0\n<!--/tag5-->\n</p>\n"
        "<div class=\"text\">\n<!--tag6-->\ntext\n<!--/tag6-->\n</div>\n"
        "<div class=\"related\">\n<!--tag99-->\n<!--/tag99-->\n</div>\n";
    for (int k = 0; k < padding; ++k) {
        model += "<p class=\"pad\">A line of the page that the runs copy unchanged, number " +
                 std::to_string(k) + ".</p>\n";
    }
    model += "</body>\n</html>\n";
    return model;
}

std::string yearbookModel() {
    return "<html>\n<head>\n<meta name=\"GENERATOR\" content=\"Hand written\">\n"
           "<title>Catalogue</title>\n</head>\n<body background=\"Backgrd.gif\">\n<table>\n"
           "<!--tag100-->\n<tr>\n<td>\n<!--tag0-->\nref\n<!--/tag0-->\n</td>\n<td>\n"
           "<!--tag3-->\nname\n<!--/tag3-->\n</td>\n<td>\n<!--tag5-->\nprice\n<!--/tag5-->\n"
           "</td>\n</tr>\n<!--/tag100-->\n</table>\n</body>\n</html>\n";
}

void editByHand(Snapshot& pages) {
    uint64_t i = 0;
    for (auto& [name, page] : pages) {
        ++i;
        if (i % 3 == 0) {
            size_t body = page.find("<body>");
            if (body != std::string::npos) {
                page.insert(body + 6, "\r\n<p>A note written by hand on " + name + "</p>");
            }
        }
        if (i % 7 == 0) {
            size_t region = page.find("<!--tag6-->");
            if (region != std::string::npos) {
                page.insert(region + 11, "\r\nA sentence added inside the region by hand.");
            }
        }
        if (i % 11 == 0) {
            std::string lf;
            for (char c : page) {
                if (c != '\r') {
                    lf += c;
                }
            }
            page = lf;
        }
    }
    pages["hand-written.htm"] =
        "<html>\r\n<head>\r\n<title>Written by hand</title>\r\n</head>\r\n<body>\r\n"
        "<!--tag2-->\r\nSet 1\r\n<!--/tag2-->\r\n<!--tag4-->\r\nTown-0001\r\n<!--/tag4-->\r\n"
        "<!--tag3-->\r\nHand\r\n<!--/tag3-->\r\n<!--tag99-->\r\n<!--/tag99-->\r\n</body>\r\n"
        "</html>\r\n";
    pages["notes.txt"] = "Not a page: the runs must leave it alone.\n";
}

bool isWorkFile(const std::string& name) {
    return name.rfind(".pagewright-work", 0) == 0 && name.size() >= 4 &&
           name.compare(name.size() - 4, 4, ".tmp") == 0;
}

std::vector<std::string> RunCase::argsIn(const std::string& root) const {
    std::vector<std::string> out;
    for (const std::string& a : args) {
        if (a.size() == 2 && a[0] == '@') {
            out.push_back(root + "/" + writtenDirs[static_cast<size_t>(a[1] - '0')]);
        } else {
            out.push_back(a);
        }
    }
    return out;
}

void RunCase::lay(const std::string& root) const {
    for (size_t d = 0; d < writtenDirs.size(); ++d) {
        writeDirectory(root + "/" + writtenDirs[d], start[d]);
    }
}

std::vector<RunCase> buildRunCases(const std::string& cli, const std::string& work, uint64_t n) {
    std::string inputs = work + "/inputs";
    makeDirectories(inputs);
    writeFile(inputs + "/model.htm", pageModel(60));
    writeFile(inputs + "/yearbook-model.htm", yearbookModel());
    writeFile(inputs + "/data-1.txt", dataFile(1, n, 1));
    // The second edition changes every page and adds a tenth more.
    writeFile(inputs + "/data-2.txt", dataFile(1, n + n / 10, 2));
    writeFile(inputs + "/yearbook-data.txt", dataFile(1, n * 50, 2));
    const std::vector<std::string> pagesArgs = {
        "--model", inputs + "/model.htm", "--separator", ";",      "--name-tags",
        "first",   "--title-tag",         "second",      "--lang", "en",
        "--quiet"};
    auto pagesRun = [&](const std::string& data, const std::string& dest) {
        std::vector<std::string> args = {"pages", "--data", data, "--dest", dest};
        args.insert(args.end(), pagesArgs.begin(), pagesArgs.end());
        return args;
    };

    // The first edition's pages, then edited by hand: the starting point of the pages run.
    std::string first = work + "/first";
    makeDirectories(first);
    test::runProcess(cli, pagesRun(inputs + "/data-1.txt", first));
    Snapshot edited = filesIn(first);
    editByHand(edited);
    // Index pages of the first edition, edited by hand too.
    std::string firstIndex = work + "/first-index";
    makeDirectories(firstIndex);
    test::runProcess(cli, {"index", "--source", first, "--dest", firstIndex, "--criterion-tag", "4",
                           "--text-tag", "3", "--lang", "en", "--quiet"});
    Snapshot index = filesIn(firstIndex);
    editByHand(index);
    // The second edition over the edited pages, not cross-linked yet: the source of the
    // cross-links and index runs.
    std::string second = work + "/second";
    writeDirectory(second, edited);
    test::runProcess(cli, pagesRun(inputs + "/data-2.txt", second));
    // A yearbook page of a shorter list, edited by hand.
    std::string yearbook = work + "/first-yearbook";
    makeDirectories(yearbook);
    writeFile(inputs + "/yearbook-data-1.txt", dataFile(1, 50, 1));
    test::runProcess(cli, {"yearbook", "--data", inputs + "/yearbook-data-1.txt", "--model",
                           inputs + "/yearbook-model.htm", "--dest", yearbook, "--separator", ";",
                           "--lang", "en", "--quiet"});
    Snapshot book = filesIn(yearbook);
    editByHand(book);

    std::vector<RunCase> cases;
    cases.push_back(RunCase{"pages", {"site"}, {edited}, pagesRun(inputs + "/data-2.txt", "@0")});
    cases.push_back(RunCase{
        "links",
        {"site"},
        {filesIn(second)},
        {"links", "--dir", "@0", "--link-tag", "2", "--text-tag", "3", "--lang", "en", "--quiet"},
        true});
    cases.push_back(RunCase{"index",
                            {"index"},
                            {index},
                            {"index", "--source", second, "--dest", "@0", "--criterion-tag", "4",
                             "--text-tag", "3", "--lang", "en", "--quiet"},
                            false,
                            {{second, filesIn(second)}}});
    cases.push_back(RunCase{"yearbook",
                            {"book"},
                            {book},
                            {"yearbook", "--data", inputs + "/yearbook-data.txt", "--model",
                             inputs + "/yearbook-model.htm", "--dest", "@0", "--separator", ";",
                             "--lang", "en", "--quiet"}});
    return cases;
}

void isolateEnvironment(const std::string& root) {
    makeDirectories(root + "/home");
    makeDirectories(root + "/config");
    ::setenv("HOME", (root + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    ::setenv("PAGEWRIGHT_INI", (root + "/config/PgWright.ini").c_str(), 1);
    ::setenv("PAGEWRIGHT_REGISTRY", (root + "/config/registry.reg").c_str(), 1);
}

}  // namespace pw::reliability
