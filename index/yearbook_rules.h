#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/column_table.h"

namespace pw {

// The yearbook page and its background picture, in the destination directory.
inline constexpr std::string_view kYearbookPageName = "Index_One_Page.htm";
inline constexpr std::string_view kBackgroundName = "Backgrd.gif";

// The markers of the repeated block as the page shows them, and the shorter texts by which the
// block copy finds the block's first and last lines in the model.
inline constexpr std::string_view kBlockStart = "<!--tag100-->";
inline constexpr std::string_view kBlockEnd = "<!--/tag100-->";
inline constexpr std::string_view kBlockStartText = "<!--tag100";
inline constexpr std::string_view kBlockEndText = "<!--/tag100";
inline constexpr std::string_view kYearbookTitleLine = "<title>Index</title>";

// One line of a block copy: a model line copied as it stands, or the value of a column.
struct BlockItem {
    int column = -1;  // 0..99 for a value, -1 for `line`
    std::string line;
};

// What a block copy writes, read from the model from its first line: the line holding
// "<!--tag100" and the lines after it, each column-tag region replaced by its column's value,
// up to the first closer line holding "<!--/tag100". Column tags above the block and the lines
// after their closers are part of it too, as the copy scans the whole model from the top.
std::vector<BlockItem> blockTemplateOf(const std::vector<std::string>& modelLines);

// One pass of the yearbook's page rules over `page` for the record in `columns`: column-tag
// lines become their bare value and drop the old region content, their closers vanish, the
// block's end marker becomes a fresh block copy (on the first pass the markers are kept), the
// generator line and the title line are rewritten. Appends the new lines to `out` (lines of
// `page` may be moved there); returns true when the pass ends inside a column-tag region.
bool applyYearbookPass(std::vector<std::string>& page, bool firstPass, const ColumnTable& columns,
                       const std::vector<BlockItem>& block, std::vector<std::string>& out);

// True for a line every later pass copies unchanged (and drops inside a region): it holds no
// tag marker and is already in its rewritten form if it is a generator or title line.
bool isSettledYearbookLine(std::string_view line);

// Grows the yearbook page record by record in time linear in the page: the page is kept as a
// settled head that no later pass can change (handed out as bytes), the lines later passes may
// still rewrite, and a tail of settled lines that only a region left open can remove. Each
// record's pass runs over the middle part only, which gives the same page as passing over
// the whole page once per record.
//
// The middle part is the last block and what follows it, unless column values themselves hold
// tag markers: later passes read such a value as a marker again (as the pass over the whole
// page does), so it stays in the middle part. Rows of equal lines are rewritten at once, so a
// marker text repeated in every record stays cheap; marker values that differ from record to
// record cost one rewrite per such line and record.
class YearbookBuilder {
  public:
    explicit YearbookBuilder(std::string_view model);

    // Makes the pass of the next record, whose fields are in `columns`.
    void addRecord(const ColumnTable& columns);

    uint64_t records() const { return m_records; }
    // The number of lines of the page for the records added so far.
    uint64_t pageLines() const;

    // Appends the settled head (CR LF line ends) to `out` and forgets it; it is the start of
    // the page for every number of records from now on. Nothing before the first record.
    void takeSettled(std::string& out);
    // Appends the rest of the page for the records added so far. With no record the page is
    // the model itself, byte for byte.
    void finish(std::string& out) const;

  private:
    // A line and how many times it stands in a row: values that later passes keep rewriting
    // the same way pile up in rows, and a row is rewritten at once.
    struct Row {
        std::string line;
        uint64_t count = 1;
    };
    static void append(std::vector<Row>& rows, std::string line, uint64_t count);
    // The pass of the page rules over the middle rows; true when it ends inside a region.
    bool passOverMiddle(const ColumnTable& columns);

    std::string m_model;
    std::vector<BlockItem> m_block;
    uint64_t m_records = 0;
    std::string m_settled;
    uint64_t m_settledLines = 0;
    std::vector<Row> m_middle;
    std::vector<Row> m_tailReversed;
    uint64_t m_middleLines = 0;
    uint64_t m_tailLines = 0;
    std::vector<Row> m_scratch;
};

// The whole page for a model and the records of a data file split at `separator`, starting
// from an empty column table.
std::string yearbookPageText(std::string_view model, std::string_view data, char separator);

}  // namespace pw
