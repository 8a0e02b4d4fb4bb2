#pragma once

#include <cstdint>
#include <functional>
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

// A line of the yearbook page. A column's value is data: whatever it holds, no pass reads it
// as a tag marker, so a value holding "<!--/tag100-->" or "<!--tag3-->" neither adds blocks
// nor swallows lines. Like any other line it is still dropped inside a column-tag region, and
// a later pass still rewrites it when it holds the generator or the title text.
struct YearbookLine {
    std::string text;
    bool value = false;
};

// What a block copy writes, read from the model from its first line: the line holding
// "<!--tag100" and the lines after it, each column-tag region replaced by its column's value,
// up to the first closer line holding "<!--/tag100". Column tags above the block and the lines
// after their closers are part of it too, as the copy scans the whole model from the top.
std::vector<BlockItem> blockTemplateOf(const std::vector<std::string>& modelLines);
std::vector<BlockItem> blockTemplateOf(const std::vector<std::string_view>& modelLines);

// One pass of the yearbook's page rules over `page` for the record in `columns`: column-tag
// lines become their bare value and drop the old region content, their closers vanish, the
// block's end marker becomes a fresh block copy (on the first pass the markers are kept), the
// generator line and the title line are rewritten. Appends the new lines to `out` (lines of
// `page` may be moved there); returns true when the pass ends inside a column-tag region.
bool applyYearbookPass(std::vector<YearbookLine>& page, bool firstPass, const ColumnTable& columns,
                       const std::vector<BlockItem>& block, std::vector<YearbookLine>& out);

// Grows the yearbook page record by record in time linear in the page, with the same page as
// passing over the whole page once per record. A line is settled when no later pass can
// change it (it is no marker and already in its rewritten form): settled lines only ever pass
// unchanged, or vanish together inside a region, so runs of them are kept as joined bytes that
// a pass moves whole. The settled lines ahead of the first line a pass may still change are
// final and handed out; what remains is the last block's marker lines between a few runs. A
// long settled line of the model is never copied: the builder keeps the model and hands the
// line out from there. Once the page ends with a repeated block, a record whose values no
// pass acts on fills the block's row, compiled once from the model, and nothing else moves.
class YearbookBuilder {
  public:
    // Receives pieces of the page, in order.
    using Sink = std::function<void(std::string_view)>;

    // The builder keeps `model`. With `head`, the settled head goes to it as it settles, in
    // pieces, and takeSettled finds nothing.
    explicit YearbookBuilder(std::string model, Sink head = nullptr);
    explicit YearbookBuilder(std::string_view model) : YearbookBuilder(std::string(model)) {}

    // Makes the pass of the next record, whose fields are in `columns`.
    void addRecord(const ColumnTable& columns);

    uint64_t records() const { return m_records; }
    // The number of lines of the page for the records added so far.
    uint64_t pageLines() const { return m_settledLines + m_restLines; }

    // Appends the settled head (CR LF line ends) to `out` and forgets it; it is the start of
    // the page for every number of records from now on. Nothing before the first record.
    void takeSettled(std::string& out);
    // Hands the rest of the page for the records added so far to `out`, after the settled
    // head not handed out yet. With no record the page is the model itself, byte for byte.
    void finish(const Sink& out) const;
    // The same, appended to a string.
    void finish(std::string& out) const;

  private:
    // How a line acts in a pass: as a run of settled lines, a line holding "<!--tag", one
    // holding "<!--/tag", or a generator or title line still to be rewritten.
    enum class Kind : uint8_t { Settled, Opener, Closer, Generator, Title };
    struct LineClass {
        Kind kind = Kind::Settled;
        int column = -1;     // Opener: the smallest column tag 0..99 it holds, or -1
        bool block = false;  // Opener: holds "<!--tag100-->"; Closer: holds "<!--/tag100-->"
    };
    // A run of settled lines, each ended with CR LF, or one line still to be passed. A long
    // settled line of the model is borrowed from it instead (without its CR LF).
    struct Segment {
        LineClass how;
        uint64_t lines = 1;
        std::string text;
        std::string_view borrowed;
    };
    // An item of the block copy: a column's value, a line to be passed again, or settled
    // model lines joined with their CR LF ends.
    struct Item {
        int column = -1;
        LineClass how;
        uint64_t lines = 1;
        std::string line;
    };

    // A piece of a block copy's row: model lines as they stand, then a column's value and its
    // CR LF (no value when `column` is -1).
    struct RowPart {
        std::string literal;
        int column = -1;
    };

    static LineClass classify(std::string_view line, bool value);
    // Reads the block as a row between its marker lines, when it is one: its first line a
    // marker that a later pass drops, its last the block's end marker, and every line between
    // them settled model text or a column's value. Leaves m_row empty when it is not.
    void compileRow();
    // True when the rest of the page is the last block copy's start marker line, its row, its
    // end marker line and settled lines: the shape every later pass keeps.
    bool restIsSteady() const;
    // The pass of a record on a steady rest: the last row settles and the new row takes its
    // place, with the same bytes as the full pass. False (nothing done) when a value of the
    // record would be passed again, and so needs the full pass.
    bool addSteadyRecord(const ColumnTable& columns);
    // Hands the settled head to the sink once it is large enough.
    void flushFullHead();
    // Appends a line to the pass being written: settled lines join the run before them (or
    // the head, while no line to be passed again precedes them).
    void emit(std::string_view line, const LineClass& how);
    // Where settled bytes of `lines` lines are appended: the head, or the run that ends the
    // pass being written.
    std::string& settledEnd(uint64_t lines);
    // Adds settled bytes to the head, through the sink when there is one.
    void toHead(std::string_view bytes);
    void emitRun(Segment&& run);
    void emitValue(std::string_view value) { emit(value, classify(value, true)); }
    void emitBlock(const ColumnTable& columns);
    void recycle(std::string&& text);

    std::string m_model;
    Sink m_head;
    std::vector<Item> m_block;
    std::vector<RowPart> m_row;
    uint64_t m_rowLines = 0;
    // The bytes of a row besides its values: its model lines and a CR LF after each value.
    size_t m_rowLiteralBytes = 0;
    bool m_steady = false;
    LineClass m_startClass;
    LineClass m_endClass;
    uint64_t m_records = 0;
    std::string m_settled;
    uint64_t m_settledLines = 0;
    std::vector<Segment> m_rest;
    uint64_t m_restLines = 0;
    std::vector<Segment> m_next;
    uint64_t m_nextLines = 0;
    std::vector<std::string> m_spare;
};

// The whole page for a model and the records of a data file split at `separator`, starting
// from an empty column table.
std::string yearbookPageText(std::string_view model, std::string_view data, char separator);

}  // namespace pw
