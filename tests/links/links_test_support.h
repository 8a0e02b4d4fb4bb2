#pragma once

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/run_frame.h"
#include "engine/run_host.h"
#include "fs/line_reader.h"
#include "links/hyperlinks_run.h"
#include "tests/support/temp_dir.h"

namespace pw::test {

// A page as the pages run writes it: link tag 2, text tag 3, an empty link block.
inline std::string makePage(const std::string& value, const std::string& text, bool block = true) {
    std::string page = "<html>\r\n<!--tag2-->\r\n" + value + "\r\n<!--/tag2-->\r\n<!--tag3-->\r\n" +
                       text + "\r\n<!--/tag3-->\r\n";
    if (block) {
        page += "<!--tag99-->\r\n<!--/tag99-->\r\n";
    }
    return page + "</html>\r\n";
}

// The lines of a page as the runs read them (CR, LF or CR LF each end a line).
inline std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    LineReader reader = LineReader::fromMemory(bytes);
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

// Every name in a directory but "." and "..", in listing order.
inline std::vector<std::string> listing(const std::string& directory) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(directory.c_str())) {
        while (const dirent* item = ::readdir(dir)) {
            std::string name = item->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(dir);
    }
    return names;
}

// Every file of a directory with its content, sorted by name.
inline std::vector<std::pair<std::string, std::string>> snapshot(const std::string& directory) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : listing(directory)) {
        std::filesystem::path path = std::filesystem::path(directory) / name;
        std::error_code error;
        if (std::filesystem::is_symlink(path, error)) {
            files.emplace_back(name, "-> " + std::filesystem::read_symlink(path).string());
        } else if (std::filesystem::is_regular_file(path, error)) {
            files.emplace_back(name, readFile(path.string()));
        } else {
            files.emplace_back(name, "<not a file>");
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Hides the digits of not-found values ("Nom" and digits become "Nom#"), drawn at random.
inline std::string maskNotFound(const std::string& text) {
    std::string masked;
    masked.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 3, "Nom") == 0 && i + 3 < text.size() &&
            std::isdigit(static_cast<unsigned char>(text[i + 3]))) {
            masked += "Nom#";
            i += 3;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
                ++i;
            }
        } else {
            masked += text[i++];
        }
    }
    return masked;
}

// True when `text` is a not-found value: "Nom" and a number from 0 to 999999.
inline bool isNotFoundValue(std::string_view text) {
    if (text.substr(0, 3) != "Nom" || text.size() < 4 || text.size() > 9 ||
        (text[3] == '0' && text.size() > 4)) {
        return false;
    }
    return std::all_of(text.begin() + 3, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A front end that records what the run shows and can run an action at a chosen event pump.
class TestHost : public RunHost {
  public:
    RunSettings settings;
    std::vector<std::string> recordTexts;
    std::vector<std::string> lineTexts;
    std::vector<std::string> timeTexts;
    std::vector<int> totalBars;
    std::vector<int> lineBars;
    std::string status;
    int pumps = 0;
    // Runs at the pump with this number (from 1); 0 never.
    int actAtPump = 0;
    std::function<void()> action;

    RunSettings runSettings() override { return settings; }
    void showMessage(Icon, std::string_view) override {}
    void setStatus(std::string_view text) override { status = text; }
    void setRecordText(std::string_view text) override { recordTexts.emplace_back(text); }
    void setTotalBar(int percent) override { totalBars.push_back(percent); }
    void setLineText(std::string_view text) override { lineTexts.emplace_back(text); }
    void setLineBar(int percent) override { lineBars.push_back(percent); }
    void setTimeText(std::string_view text) override { timeTexts.emplace_back(text); }
    void pumpEvents() override {
        ++pumps;
        if (pumps == actAtPump && action) {
            action();
        }
    }
    void ringBell() override {}
};

// One run of runHyperlinks over a directory, with what it reported.
struct LinksRun {
    TestHost host;
    RunState state;
    RunReport report;
    RunOutcome outcome = RunOutcome::Completed;

    LinksRun(const std::string& directory, const std::string& linkTag, const std::string& textTag,
             const std::string& prefix = "") {
        host.settings.tab = Tab::Hyperlinks;
        host.settings.hyperdir = directory;
        host.settings.sourcelien = linkTag;
        host.settings.Textelien = textTag;
        host.settings.Tag99 = prefix;
    }

    // Requests a stop from inside the pump with this number.
    void stopAtPump(int pump) {
        host.actAtPump = pump;
        host.action = [this] { state.stopRequested = true; };
    }

    RunOutcome run() {
        RunContext context{host.settings, host, state, report, Env::system(), {}};
        outcome = runHyperlinks(context);
        return outcome;
    }
};

}  // namespace pw::test
