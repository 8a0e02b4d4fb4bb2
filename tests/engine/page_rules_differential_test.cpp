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
        std::string title(columns.at(titleColumn));
        ASSERT_EQ(assemblePageText(page, columns, title),
                  ReferenceSubstitution(values, title).P_Modif_fichier(plainLines(page)))
            << "round " << round << " page:\n"
            << page;
    }
}

}  // namespace
}  // namespace pw
