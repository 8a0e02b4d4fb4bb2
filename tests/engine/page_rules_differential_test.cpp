// The page rules against a plain transcription of them: random models and records must give
// byte-identical pages.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/page_rules.h"

namespace pw {
namespace {

std::vector<std::string> plainLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    bool pending = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            pending = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending) {
        lines.push_back(current);
    }
    return lines;
}

bool has(const std::string& line, const std::string& text) {
    return line.find(text) != std::string::npos;
}

// The rules as written: test each class in order, try every tag number from 0 to 100.
std::string plainAssemble(const std::string& page, const std::vector<std::string>& columns,
                          const std::string& title) {
    std::vector<std::string> lines = plainLines(page);
    auto isCloser = [](const std::string& line) {
        return has(line, "<!--/tag") && !has(line, "<!--tag");
    };
    std::string out;
    bool inside = false;
    int last = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (has(line, "<!--tag")) {
            int found = -1;
            for (int k = 0; k <= 100; ++k) {
                if (has(line, "<!--tag" + std::to_string(k) + "-->")) {
                    found = k;
                    break;
                }
            }
            if (found < 0) {
                continue;
            }
            std::string value = static_cast<size_t>(found) < columns.size() ? columns[found] : "";
            std::string opener = "<!--tag" + std::to_string(found) + "-->";
            std::string closer = "<!--/tag" + std::to_string(found) + "-->";
            last = found;
            size_t a = line.find(opener);
            size_t b = line.find(closer, a + opener.size());
            if (b != std::string::npos) {
                out += line.substr(0, a + opener.size()) + value + line.substr(b) + "\r\n";
                inside = false;
                continue;
            }
            out += opener + "\r\n" + value + "\r\n";
            bool closedLater = false;
            for (size_t j = i + 1; j < lines.size(); ++j) {
                closedLater = closedLater || isCloser(lines[j]);
            }
            if (closedLater) {
                inside = true;
            } else {
                out += closer + "\r\n";
                inside = false;
            }
        } else if (has(line, "<!--/tag")) {
            out += "<!--/tag" + (last >= 0 ? std::to_string(last) : std::string()) + "-->\r\n";
            inside = false;
        } else if (inside) {
        } else if (has(line, "<meta name=\"GENERATOR\" content=")) {
            out += "<meta name=\"GENERATOR\" content=\"Pagewright\">\r\n";
        } else if (has(line, "<title>")) {
            out += "<title>" + title + "</title>\r\n";
        } else {
            out += line + "\r\n";
        }
    }
    return out;
}

TEST(PageRulesDifferential, RandomModelsAndRecords) {
    std::mt19937 random(20261207);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::string> pieces = {"<!--tag",
                                             "<!--/tag",
                                             "-->",
                                             "0",
                                             "1",
                                             "2",
                                             "7",
                                             "10",
                                             "99",
                                             "100",
                                             "101",
                                             "02",
                                             "x",
                                             "<title>",
                                             "</title>",
                                             "<meta name=\"GENERATOR\" content=",
                                             "\"v\">",
                                             " ",
                                             "text",
                                             "<p>",
                                             "</p>",
                                             "é",
                                             "<!--tag3-->",
                                             "<!--/tag3-->",
                                             "<!--tag100-->",
                                             "<!--/tag1-->"};
    const std::vector<std::string> ends = {"\r\n", "\n", "\r"};
    for (int round = 0; round < 5000; ++round) {
        std::string page;
        int lineCount = pick(12);
        for (int l = 0; l < lineCount; ++l) {
            int pieceCount = pick(5);
            for (int p = 0; p < pieceCount; ++p) {
                page += pieces[static_cast<size_t>(pick(static_cast<int>(pieces.size())))];
            }
            if (l + 1 < lineCount || pick(2) == 0) {
                page += ends[static_cast<size_t>(pick(3))];
            }
        }
        std::vector<std::string> values;
        ColumnTable columns;
        std::string record;
        int columnCount = 1 + pick(12);
        for (int c = 0; c < columnCount; ++c) {
            std::string value =
                pick(4) == 0 ? "" : "v" + std::to_string(round) + "_" + std::to_string(c);
            if (pick(6) == 0) {
                value += "<b>" + std::string(1, static_cast<char>('a' + pick(26))) + "</b>";
            }
            values.push_back(value);
            record += (c ? ";" : "") + value;
        }
        columns.split(record, ';');
        long long titleColumn = pick(3);
        std::string title = columns.at(titleColumn);
        ASSERT_EQ(assemblePageText(page, columns, title), plainAssemble(page, values, title))
            << "round " << round << " page:\n"
            << page;
    }
}

}  // namespace
}  // namespace pw
