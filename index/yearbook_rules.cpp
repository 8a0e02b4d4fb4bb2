#include "index/yearbook_rules.h"

#include <algorithm>
#include <utility>

#include "engine/markers.h"
#include "engine/page_rules.h"
#include "fs/line_reader.h"

namespace pw {

namespace {

// Column tags of the yearbook stop at 99: number 100 is the block.
constexpr int kLastColumnTag = 99;

void appendLine(std::string& out, std::string_view line) {
    out += line;
    out += "\r\n";
}

void writeBlockCopy(const std::vector<BlockItem>& block, const ColumnTable& columns,
                    std::vector<YearbookLine>& out) {
    for (const BlockItem& item : block) {
        if (item.column >= 0) {
            out.push_back(YearbookLine{std::string(columns.at(item.column)), true});
        } else {
            out.push_back(YearbookLine{item.line, false});
        }
    }
}

// Settled runs kept aside for reuse, so a run's buffer is not allocated again for each record;
// a buffer larger than kSpareSize is let go.
constexpr size_t kSpareRuns = 8;
constexpr size_t kSpareSize = 64u << 10;
// A settled model line at least this long is borrowed from the model, never copied; a settled
// head given to a sink goes out once it reaches kHeadSize, which is small enough that the head
// stays in the processor's cache between its appends and its write.
constexpr size_t kBorrowedSize = 64u << 10;
constexpr size_t kHeadSize = 128u << 10;

std::vector<std::string_view> linesOf(std::string_view bytes) {
    std::vector<std::string_view> lines;
    LineReader reader = LineReader::fromMemory(bytes);
    std::string_view line;
    while (reader.next(line)) {
        lines.push_back(line);
    }
    return lines;
}

template <typename Line>
std::vector<BlockItem> blockTemplate(const std::vector<Line>& modelLines) {
    std::vector<BlockItem> block;
    bool copying = false;
    for (const Line& line : modelLines) {
        if (contains(line, kOpenerPrefix)) {
            if (contains(line, kBlockStartText)) {
                block.push_back(BlockItem{-1, std::string(line)});
                copying = true;
            }
            if (std::optional<int> k = smallestOpenerTag(line, kLastColumnTag)) {
                block.push_back(BlockItem{*k, {}});
                copying = false;
            }
        } else if (contains(line, kCloserPrefix)) {
            copying = true;
            if (contains(line, kBlockEndText)) {
                block.push_back(BlockItem{-1, std::string(line)});
                break;
            }
        } else if (copying) {
            block.push_back(BlockItem{-1, std::string(line)});
        }
    }
    return block;
}

}  // namespace

std::vector<BlockItem> blockTemplateOf(const std::vector<std::string>& modelLines) {
    return blockTemplate(modelLines);
}

std::vector<BlockItem> blockTemplateOf(const std::vector<std::string_view>& modelLines) {
    return blockTemplate(modelLines);
}

bool applyYearbookPass(std::vector<YearbookLine>& page, bool firstPass, const ColumnTable& columns,
                       const std::vector<BlockItem>& block, std::vector<YearbookLine>& out) {
    bool skip = false;
    for (YearbookLine& line : page) {
        const std::string& text = line.text;
        if (!line.value && contains(text, kOpenerPrefix)) {
            if (std::optional<int> k = smallestOpenerTag(text, kLastColumnTag)) {
                out.push_back(YearbookLine{std::string(columns.at(*k)), true});
                skip = true;
            }
            if (firstPass && contains(text, kBlockStart)) {
                out.push_back(YearbookLine{std::string(kBlockStart), false});
            }
        } else if (!line.value && contains(text, kCloserPrefix)) {
            skip = false;
            if (contains(text, kBlockEnd)) {
                if (firstPass) {
                    out.push_back(YearbookLine{std::string(kBlockEnd), false});
                } else {
                    writeBlockCopy(block, columns, out);
                }
            }
        } else if (!skip) {
            if (contains(text, kGeneratorText)) {
                out.push_back(YearbookLine{std::string(kGeneratorLine), false});
            } else if (contains(text, kTitleText)) {
                out.push_back(YearbookLine{std::string(kYearbookTitleLine), false});
            } else {
                out.push_back(std::move(line));
            }
        }
    }
    return skip;
}

YearbookBuilder::LineClass YearbookBuilder::classify(std::string_view line, bool value) {
    // One walk over the line's '<' finds every text the passes look for.
    const PageRules::Marks marks = PageRules::marksOf(line);
    LineClass how;
    if (!value && marks.opener) {
        how.kind = Kind::Opener;
        how.column = smallestOpenerTag(line, kLastColumnTag).value_or(-1);
        how.block = contains(line, kBlockStart);
    } else if (!value && marks.closer) {
        how.kind = Kind::Closer;
        how.block = contains(line, kBlockEnd);
    } else if (marks.generator) {
        // The rewritten line rewrites to itself: it is settled.
        if (line != kGeneratorLine) {
            how.kind = Kind::Generator;
        }
    } else if (marks.title && line != kYearbookTitleLine) {
        how.kind = Kind::Title;
    }
    return how;
}

YearbookBuilder::YearbookBuilder(std::string model, Sink head)
    : m_model(std::move(model)), m_head(std::move(head)) {
    const std::vector<std::string_view> lines = linesOf(m_model);
    // Settled model lines in a row are joined once here, so a block copy appends them at once.
    for (BlockItem& item : blockTemplateOf(lines)) {
        if (item.column >= 0) {
            m_block.push_back(Item{item.column, LineClass{}, 1, {}});
            continue;
        }
        LineClass how = classify(item.line, false);
        if (how.kind != Kind::Settled) {
            m_block.push_back(Item{-1, how, 1, std::move(item.line)});
            continue;
        }
        if (m_block.empty() || m_block.back().column >= 0 ||
            m_block.back().how.kind != Kind::Settled) {
            m_block.push_back(Item{-1, how, 0, {}});
        }
        appendLine(m_block.back().line, item.line);
        ++m_block.back().lines;
    }
    compileRow();
    m_startClass = classify(kBlockStart, false);
    m_endClass = classify(kBlockEnd, false);
    // The model as the first pass sees it: no line of it is final yet.
    for (std::string_view line : lines) {
        LineClass how = classify(line, false);
        if (how.kind != Kind::Settled) {
            m_rest.push_back(Segment{how, 1, std::string(line), {}});
        } else if (line.size() >= kBorrowedSize) {
            m_rest.push_back(Segment{how, 1, {}, line});
        } else {
            if (m_rest.empty() || m_rest.back().how.kind != Kind::Settled ||
                !m_rest.back().borrowed.empty()) {
                m_rest.push_back(Segment{how, 0, {}, {}});
            }
            appendLine(m_rest.back().text, line);
            ++m_rest.back().lines;
        }
    }
    m_restLines = lines.size();
}

void YearbookBuilder::recycle(std::string&& text) {
    if (m_spare.size() < kSpareRuns && text.capacity() <= kSpareSize) {
        text.clear();
        m_spare.push_back(std::move(text));
    }
}

void YearbookBuilder::toHead(std::string_view bytes) {
    if (m_head && bytes.size() >= kBorrowedSize) {
        if (!m_settled.empty()) {
            m_head(m_settled);
            m_settled.clear();
        }
        m_head(bytes);
        return;
    }
    m_settled += bytes;
}

void YearbookBuilder::flushFullHead() {
    if (m_head && m_settled.size() >= kHeadSize) {
        m_head(m_settled);
        m_settled.clear();
    }
}

void YearbookBuilder::compileRow() {
    if (m_block.size() < 2) {
        return;
    }
    const Item& first = m_block.front();
    const Item& last = m_block.back();
    if (first.column >= 0 || first.how.kind != Kind::Opener || first.how.column >= 0 ||
        last.column >= 0 || last.how.kind != Kind::Closer || !last.how.block) {
        return;
    }
    RowPart part;
    for (size_t i = 1; i + 1 < m_block.size(); ++i) {
        const Item& item = m_block[i];
        if (item.column >= 0) {
            part.column = item.column;
            m_rowLiteralBytes += part.literal.size() + 2;
            m_row.push_back(std::move(part));
            part = RowPart{};
            ++m_rowLines;
        } else if (item.how.kind == Kind::Settled) {
            part.literal += item.line;
            m_rowLines += item.lines;
        } else {
            m_row.clear();
            m_rowLines = 0;
            m_rowLiteralBytes = 0;
            return;
        }
    }
    if (m_rowLines == 0) {
        return;  // no row: the full pass keeps no segment for it
    }
    m_rowLiteralBytes += part.literal.size();
    m_row.push_back(std::move(part));
}

bool YearbookBuilder::restIsSteady() const {
    // The first pass keeps the bare markers, not the block's own marker lines.
    if (m_row.empty() || m_records < 2 || m_rest.size() < 3) {
        return false;
    }
    const Segment& start = m_rest[0];
    const Segment& row = m_rest[1];
    const Segment& end = m_rest[2];
    if (start.how.kind != Kind::Opener || start.how.column >= 0 || row.how.kind != Kind::Settled ||
        !row.borrowed.empty() || end.how.kind != Kind::Closer || !end.how.block ||
        start.text != m_block.front().line || end.text != m_block.back().line) {
        return false;
    }
    for (size_t i = 3; i < m_rest.size(); ++i) {
        if (m_rest[i].how.kind != Kind::Settled) {
            return false;
        }
    }
    return true;
}

bool YearbookBuilder::addSteadyRecord(const ColumnTable& columns) {
    for (const RowPart& part : m_row) {
        if (part.column < 0) {
            continue;
        }
        if (columns.holdsAngle(part.column) &&
            classify(columns.at(part.column), true).kind != Kind::Settled) {
            return false;
        }
    }
    Segment& row = m_rest[1];
    m_settledLines += row.lines;
    toHead(row.text);
    flushFullHead();
    // The row is sized once, then each piece copied in place: a row is a dozen short pieces,
    // and checking the room at each of them cost as much as copying it.
    size_t size = m_rowLiteralBytes;
    for (const RowPart& part : m_row) {
        if (part.column >= 0) {
            size += columns.at(part.column).size();
        }
    }
    row.text.resize(size);
    char* out = row.text.data();
    for (const RowPart& part : m_row) {
        out = std::copy(part.literal.begin(), part.literal.end(), out);
        if (part.column >= 0) {
            const std::string_view value = columns.at(part.column);
            out = std::copy(value.begin(), value.end(), out);
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    row.lines = m_rowLines;
    ++m_records;
    return true;
}

std::string& YearbookBuilder::settledEnd(uint64_t lines) {
    if (m_next.empty()) {
        m_settledLines += lines;
        flushFullHead();
        return m_settled;
    }
    if (m_next.back().how.kind != Kind::Settled || !m_next.back().borrowed.empty()) {
        m_next.push_back(Segment{LineClass{}, 0, {}, {}});
        if (!m_spare.empty()) {
            m_next.back().text = std::move(m_spare.back());
            m_spare.pop_back();
        }
    }
    m_next.back().lines += lines;
    m_nextLines += lines;
    return m_next.back().text;
}

void YearbookBuilder::emit(std::string_view line, const LineClass& how) {
    if (how.kind != Kind::Settled) {
        m_next.push_back(Segment{how, 1, std::string(line), {}});
        ++m_nextLines;
        return;
    }
    if (m_next.empty() && line.size() >= kBorrowedSize) {
        m_settledLines += 1;
        toHead(line);
        toHead("\r\n");
        return;
    }
    appendLine(settledEnd(1), line);
}

void YearbookBuilder::emitRun(Segment&& run) {
    if (m_next.empty()) {
        m_settledLines += run.lines;
        if (!run.borrowed.empty()) {
            toHead(run.borrowed);
            toHead("\r\n");
        } else {
            toHead(run.text);
            recycle(std::move(run.text));
        }
        flushFullHead();
    } else if (m_next.back().how.kind == Kind::Settled && m_next.back().borrowed.empty() &&
               run.borrowed.empty() && run.text.size() < kBorrowedSize) {
        m_next.back().text += run.text;
        m_next.back().lines += run.lines;
        m_nextLines += run.lines;
        recycle(std::move(run.text));
    } else {
        // A borrowed or long run stays a segment of its own: it is never copied.
        m_nextLines += run.lines;
        m_next.push_back(std::move(run));
    }
}

void YearbookBuilder::emitBlock(const ColumnTable& columns) {
    for (const Item& item : m_block) {
        if (item.column >= 0) {
            emitValue(columns.at(item.column));
        } else if (item.how.kind == Kind::Settled) {
            settledEnd(item.lines) += item.line;
        } else {
            emit(item.line, item.how);
        }
    }
}

void YearbookBuilder::addRecord(const ColumnTable& columns) {
    if (m_steady && addSteadyRecord(columns)) {
        return;
    }
    // The rules of applyYearbookPass over the segments: a settled run passes whole or, inside
    // a region, vanishes whole.
    const bool firstPass = m_records == 0;
    bool skip = false;
    m_next.clear();
    m_nextLines = 0;
    for (Segment& segment : m_rest) {
        const LineClass& how = segment.how;
        switch (how.kind) {
            case Kind::Settled:
                if (skip) {
                    recycle(std::move(segment.text));
                } else {
                    emitRun(std::move(segment));
                }
                break;
            case Kind::Opener:
                if (how.column >= 0) {
                    emitValue(columns.at(how.column));
                    skip = true;
                }
                if (firstPass && how.block) {
                    emit(kBlockStart, m_startClass);
                }
                break;
            case Kind::Closer:
                skip = false;
                if (how.block) {
                    if (firstPass) {
                        emit(kBlockEnd, m_endClass);
                    } else {
                        emitBlock(columns);
                    }
                }
                break;
            case Kind::Generator:
                if (!skip) {
                    emit(kGeneratorLine, LineClass{});
                }
                break;
            case Kind::Title:
                if (!skip) {
                    emit(kYearbookTitleLine, LineClass{});
                }
                break;
        }
    }
    m_rest.swap(m_next);
    m_restLines = m_nextLines;
    ++m_records;
    m_steady = restIsSteady();
}

void YearbookBuilder::takeSettled(std::string& out) {
    out += m_settled;
    m_settled.clear();
}

void YearbookBuilder::finish(const Sink& out) const {
    if (m_records == 0) {
        out(m_model);
        return;
    }
    if (!m_settled.empty()) {
        out(m_settled);
    }
    for (const Segment& segment : m_rest) {
        if (!segment.borrowed.empty()) {
            out(segment.borrowed);
            out("\r\n");
        } else if (segment.how.kind == Kind::Settled) {
            out(segment.text);
        } else {
            out(segment.text);
            out("\r\n");
        }
    }
}

void YearbookBuilder::finish(std::string& out) const {
    finish([&out](std::string_view piece) { out += piece; });
}

std::string yearbookPageText(std::string_view model, std::string_view data, char separator) {
    YearbookBuilder builder(model);
    ColumnTable columns;
    LineReader records = LineReader::fromMemory(data);
    records.skipByteOrderMark();
    std::string_view line;
    std::string page;
    while (records.next(line)) {
        columns.split(line, separator);
        builder.addRecord(columns);
        builder.takeSettled(page);
    }
    builder.finish(page);
    return page;
}

}  // namespace pw
