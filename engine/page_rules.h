#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/column_table.h"

namespace pw {

// The substitution rules that turn a page (or the model, for a new page) into the page of the
// current record, one input line at a time. Every output line ends with CR LF.
//
// In order: a line holding "<!--tag" becomes the bare opener of its smallest valid tag and the
// column's value (no valid tag: the line vanishes); a line holding "<!--/tag" becomes the
// closer of the region last opened; lines inside a region are dropped (the old content); the
// generator meta line is rewritten; the "<title>" line gets the title column; any other line
// is copied. Two cases keep the rest of the page that a literal reading would drop: a region
// opened and closed on one line has its content replaced in place, and a region that no later
// line closes is closed right after its value.
class PageRules {
  public:
    PageRules(const ColumnTable& columns, const std::string& title)
        : m_columns(columns), m_title(title) {}

    // Which of the texts the rules look for a line holds.
    struct Marks {
        bool opener = false;     // "<!--tag"
        bool closer = false;     // "<!--/tag"
        bool generator = false;  // the generator meta text
        bool title = false;      // "<title>"
    };
    static Marks marksOf(std::string_view line);

    // True for a line the rules treat as a closer: it holds "<!--/tag" and no "<!--tag".
    static bool isCloserLine(std::string_view line);
    static bool isCloserLine(const Marks& marks) { return marks.closer && !marks.opener; }

    // Starts a page whose last closer line is `lastCloserLine` (0 when it has none).
    void begin(uint64_t lastCloserLine);
    // Appends the output for line number `lineNumber` (from 1) to `out`.
    void apply(std::string_view line, uint64_t lineNumber, std::string& out) {
        apply(line, marksOf(line), lineNumber, out);
    }
    // The same for a line whose marks were found beforehand (the model's lines recur on every
    // new page); `marks` must be marksOf(line).
    void apply(std::string_view line, const Marks& marks, uint64_t lineNumber, std::string& out);

  private:
    const ColumnTable& m_columns;
    const std::string& m_title;
    uint64_t m_lastCloserLine = 0;
    bool m_inside = false;
    std::optional<int> m_lastOpened;
};

// Applies the rules to a whole page held in memory (both passes); used by tests and tools.
std::string assemblePageText(std::string_view page, const ColumnTable& columns,
                             const std::string& title);

}  // namespace pw
