// The page rules against a reference transcription of the substitution as it is written: random
// models and records must give byte-identical pages.
#include <gtest/gtest.h>

#include <optional>
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

std::string opener(int k) {
    return "<!--tag" + std::to_string(k) + "-->";
}

std::string closer(int k) {
    return "<!--/tag" + std::to_string(k) + "-->";
}

// The substitution of one page, transcribed from the rules as they are written, line class by
// line class in their order, with the two departures the program makes so that no line after
// a region is lost: a region opened and closed on one line is filled in place, and an opener
// that no later line closes is closed at once.
class ReferenceSubstitution {
  public:
    ReferenceSubstitution(const std::vector<std::string>& columns, std::string title)
        : m_columns(columns), m_title(std::move(title)) {}

    std::string P_Modif_fichier(const std::vector<std::string>& page) {
        m_out.clear();
        m_inside = false;
        m_lastOpened.reset();
        for (size_t i = 0; i < page.size(); ++i) {
            const std::string& line = page[i];
            if (has(line, "<!--tag")) {
                openerLine(line, closedLater(page, i));
            } else if (has(line, "<!--/tag")) {
                write("<!--/tag" + (m_lastOpened ? std::to_string(*m_lastOpened) : "") + "-->");
                m_inside = false;
            } else if (m_inside) {
                // The old content of the region: dropped.
            } else if (has(line, "<meta name=\"GENERATOR\" content=")) {
                write("<meta name=\"GENERATOR\" content=\"Pagewright\">");
            } else if (has(line, "<title>")) {
                write("<title>" + m_title + "</title>");
            } else {
                write(line);
            }
        }
        return m_out;
    }

  private:
    static bool closedLater(const std::vector<std::string>& page, size_t i) {
        for (size_t j = i + 1; j < page.size(); ++j) {
            if (has(page[j], "<!--/tag") && !has(page[j], "<!--tag")) {
                return true;
            }
        }
        return false;
    }

    // The first k from 0 to 100 whose opener the line holds wins; no such k: nothing written.
    void openerLine(const std::string& line, bool closedLater) {
        for (int k = 0; k <= 100; ++k) {
            if (!has(line, opener(k))) {
                continue;
            }
            const std::string value = static_cast<size_t>(k) < m_columns.size() ? m_columns[k] : "";
            m_lastOpened = k;
            const size_t at = line.find(opener(k));
            const size_t close = line.find(closer(k), at + opener(k).size());
            if (close != std::string::npos) {
                write(line.substr(0, at + opener(k).size()) + value + line.substr(close));
                m_inside = false;
            } else if (closedLater) {
                write(opener(k));
                write(value);
                m_inside = true;
            } else {
                write(opener(k));
                write(value);
                write(closer(k));
                m_inside = false;
            }
            return;
        }
    }

    void write(const std::string& line) { m_out += line + "\r\n"; }

    const std::vector<std::string>& m_columns;
    std::string m_title;
    std::string m_out;
    bool m_inside = false;
    std::optional<int> m_lastOpened;
};

int pick(std::mt19937& random, int n) {
    return static_cast<int>(random() % static_cast<unsigned>(n));
}

// A page (or model) of up to 11 lines of marker fragments, tags and text, with mixed line ends.
std::string randomPage(std::mt19937& random) {
    static const std::vector<std::string> pieces = {"<!--tag",
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
    static const std::vector<std::string> ends = {"\r\n", "\n", "\r"};
    std::string page;
    int lineCount = pick(random, 12);
    for (int l = 0; l < lineCount; ++l) {
        int pieceCount = pick(random, 5);
        for (int p = 0; p < pieceCount; ++p) {
            page += pieces[static_cast<size_t>(pick(random, static_cast<int>(pieces.size())))];
        }
        if (l + 1 < lineCount || pick(random, 2) == 0) {
            page += ends[static_cast<size_t>(pick(random, 3))];
        }
    }
    return page;
}

TEST(PageRulesDifferential, RandomModelsAndRecords) {
    std::mt19937 random(20261207);
    auto pick = [&](int n) { return pw::pick(random, n); };
    for (int round = 0; round < 5000; ++round) {
        const std::string page = randomPage(random);
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
        std::string title(columns.at(titleColumn));
        ASSERT_EQ(assemblePageText(page, columns, title),
                  ReferenceSubstitution(values, title).P_Modif_fichier(plainLines(page)))
            << "round " << round << " page:\n"
            << page;
    }
}

// A page the model gave for one record, with no hand edit, is rendered for the next record
// from the model without going through its lines: whenever the template takes a page for
// such a page, the rules must give the same bytes.
TEST(PageRulesDifferential, AnUneditedPageOfTheModelIsRenderedForTheNextRecord) {
    std::mt19937 random(20261209);
    // Plain values, values the rules would read and values holding a line end.
    const std::vector<std::string> values = {
        "",     "v",        "a b",          "<b>x</b>",
        "é",    "</title>", "<!--/tag3-->", "<!--tag2-->",
        "x\ry", "x\nz",     "<title>",      "<meta name=\"GENERATOR\" content="};
    auto record = [&](ColumnTable& columns) {
        std::string line;
        for (int c = 0; c < 5; ++c) {
            const bool plainOnly = pick(random, 3) != 0;
            line += (c ? ";" : "") + values[static_cast<size_t>(pick(random, plainOnly ? 5 : 12))];
        }
        columns.split(line, ';');
    };
    int taken = 0;
    for (int round = 0; round < 5000; ++round) {
        const PageTemplate made(randomPage(random));
        ColumnTable before;
        ColumnTable after;
        record(before);
        record(after);
        const std::string_view titleBefore = before.at(pick(random, 3));
        const std::string_view titleAfter = after.at(pick(random, 3));
        std::string page;
        made.render(before, titleBefore, page);
        // Sometimes an edit by hand: a byte changed, a line added within or at the end, a line end
        // shortened.
        const int edit = page.empty() ? 0 : pick(random, 6);
        const size_t at =
            page.empty() ? 0 : static_cast<size_t>(pick(random, static_cast<int>(page.size())));
        if (edit == 1) {
            page[at] = static_cast<char>(page[at] ^ 1);
        } else if (edit == 2) {
            page.insert(at, "edit\r\n");
        } else if (edit == 3 && page.find("\r\n") != std::string::npos) {
            page.erase(page.find("\r\n"), 1);
        } else if (edit == 4) {
            page += "edit\r\n";
        }
        if (!made.rendersFixedPoint(after, titleAfter) || !made.rendersSomeRecordAs(page)) {
            continue;
        }
        ++taken;
        std::string expected;
        made.render(after, titleAfter, expected);
        ASSERT_EQ(assemblePageText(page, after, titleAfter), expected)
            << "round " << round << " page:\n"
            << page;
    }
    EXPECT_GT(taken, 1500);
}

}  // namespace
}  // namespace pw
