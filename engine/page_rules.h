#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/column_table.h"
#include "engine/markers.h"

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
//
// Lines are placed by positions: any numbering that grows from line to line, such as line
// numbers from 1 or a line's offset in the page plus 1.
class PageRules {
  public:
    PageRules(const ColumnTable& columns, std::string_view title)
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

    // Starts a page whose last closer line is at `lastCloser` (0 when it has none).
    void begin(uint64_t lastCloser);
    // Appends the output for the line at `position` to `out`.
    void apply(std::string_view line, uint64_t position, std::string& out) {
        apply(line, marksOf(line), position, out);
    }
    // The same for a line whose marks were found beforehand; `marks` must be marksOf(line).
    void apply(std::string_view line, const Marks& marks, uint64_t position, std::string& out);
    // The same, handing the output to `out` in pieces: out.text(bytes) for text of the page or
    // of the rules, out.column(k) for the value of column k, out.title() for the title.
    template <typename Output>
    void applyTo(std::string_view line, const Marks& marks, uint64_t position, Output& out);

  private:
    const ColumnTable& m_columns;
    std::string_view m_title;
    uint64_t m_lastCloser = 0;
    bool m_inside = false;
    std::optional<int> m_lastOpened;
};

// The position (offset + 1) of the last closer line of a page held in memory, 0 when it has
// none: found from the end, so the page need not be read twice.
uint64_t lastCloserPosition(std::string_view page);

// The new page a model gives for any record: the rules applied once to the model, with the
// places of the record's values and of the title left open. A page is then the text between
// them and the values, copied.
class PageTemplate {
  public:
    PageTemplate() = default;
    explicit PageTemplate(std::string_view model);

    // The model's line count, and that of every page it renders (values hold no line end).
    uint64_t lines() const { return m_lines; }
    uint64_t pageLines() const { return m_pageLines; }
    // Appends the page of the record in `columns`, titled `title`, to `out`.
    void render(const ColumnTable& columns, std::string_view title, std::string& out) const;
    // True when render(columns, title) would give exactly `page`; compares piece by piece
    // without building the page.
    bool rendersAs(const ColumnTable& columns, std::string_view title, std::string_view page) const;
    // True when the rules leave a page equal to render(columns, title) as it is: none of the
    // values it holds, nor the title, holds a text the rules look for. (A value that does could
    // turn its line into a marker, the title line into the generator line.)
    bool rendersFixedPoint(const ColumnTable& columns, std::string_view title) const;
    // True when `page` is what render() gives for some record and title that hold neither a
    // line end nor a text the rules look for. The rules then leave the page's lines as the
    // model's, so they turn it into render() of the current record whenever rendersFixedPoint
    // holds for that record.
    bool rendersSomeRecordAs(std::string_view page) const;

  private:
    friend class TemplateBuilder;
    static constexpr int kTitle = -1;
    static constexpr int kText = -2;
    struct Piece {
        int what = kText;  // a column number, kTitle or kText
        size_t begin = 0;  // kText: the piece of m_text
        size_t size = 0;
    };
    // The bytes of a text piece.
    std::string_view textOf(const Piece& piece) const;
    // What `piece` puts in the page of the record in `columns`, titled `title`.
    std::string_view bytesOf(const Piece& piece, const ColumnTable& columns,
                             std::string_view title) const;
    std::string m_text;
    std::vector<Piece> m_pieces;
    // The columns whose values the page holds, each once.
    std::vector<int> m_columns;
    uint64_t m_lines = 0;
    uint64_t m_pageLines = 0;
};

// Applies the rules to a whole page held in memory; used by tests and tools.
std::string assemblePageText(std::string_view page, const ColumnTable& columns,
                             std::string_view title);

template <typename Output>
void PageRules::applyTo(std::string_view line, const Marks& marks, uint64_t position, Output& out) {
    constexpr std::string_view kLineEnd = "\r\n";
    if (marks.opener) {
        std::optional<int> tag = smallestOpenerTag(line, 100);
        if (!tag) {
            return;
        }
        const std::string opener = openerMarker(*tag);
        const std::string closer = closerMarker(*tag);
        m_lastOpened = *tag;
        const size_t open = line.find(opener);
        const size_t close = line.find(closer, open + opener.size());
        if (close != std::string_view::npos) {
            // Opened and closed on one line: the value replaces what stands between.
            out.text(line.substr(0, open + opener.size()));
            out.column(*tag);
            out.text(line.substr(close));
            out.text(kLineEnd);
            m_inside = false;
            return;
        }
        out.text(opener);
        out.text(kLineEnd);
        out.column(*tag);
        out.text(kLineEnd);
        if (position > m_lastCloser) {
            // No line after this one closes the region: close it here, keep what follows.
            out.text(closer);
            out.text(kLineEnd);
            m_inside = false;
        } else {
            m_inside = true;
        }
        return;
    }
    if (marks.closer) {
        out.text(kCloserPrefix);
        if (m_lastOpened) {
            out.text(std::to_string(*m_lastOpened));
        }
        out.text(kMarkerSuffix);
        out.text(kLineEnd);
        m_inside = false;
        return;
    }
    if (m_inside) {
        return;
    }
    if (marks.generator) {
        out.text(kGeneratorLine);
        out.text(kLineEnd);
        return;
    }
    if (marks.title) {
        out.text(kTitleText);
        out.title();
        out.text("</title>");
        out.text(kLineEnd);
        return;
    }
    out.text(line);
    out.text(kLineEnd);
}

}  // namespace pw
