#include "index/yearbook_rules.h"

#include "engine/line_reader.h"
#include "engine/markers.h"

namespace pw {

namespace {

// Column tags of the yearbook stop at 99: number 100 is the block.
constexpr int kLastColumnTag = 99;

void appendLine(std::string& out, std::string_view line) {
    out += line;
    out += "\r\n";
}

void writeBlockCopy(const std::vector<BlockItem>& block, const ColumnTable& columns,
                    std::vector<std::string>& out) {
    for (const BlockItem& item : block) {
        out.push_back(item.column >= 0 ? columns.at(item.column) : item.line);
    }
}

std::vector<std::string> linesOf(std::string_view bytes) {
    std::vector<std::string> lines;
    LineReader reader = LineReader::fromMemory(bytes);
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

}  // namespace

std::vector<BlockItem> blockTemplateOf(const std::vector<std::string>& modelLines) {
    std::vector<BlockItem> block;
    bool copying = false;
    for (const std::string& line : modelLines) {
        if (contains(line, kOpenerPrefix)) {
            if (contains(line, kBlockStartText)) {
                block.push_back(BlockItem{-1, line});
                copying = true;
            }
            if (std::optional<int> k = smallestOpenerTag(line, kLastColumnTag)) {
                block.push_back(BlockItem{*k, {}});
                copying = false;
            }
        } else if (contains(line, kCloserPrefix)) {
            copying = true;
            if (contains(line, kBlockEndText)) {
                block.push_back(BlockItem{-1, line});
                break;
            }
        } else if (copying) {
            block.push_back(BlockItem{-1, line});
        }
    }
    return block;
}

bool applyYearbookPass(std::vector<std::string>& page, bool firstPass, const ColumnTable& columns,
                       const std::vector<BlockItem>& block, std::vector<std::string>& out) {
    bool skip = false;
    for (std::string& line : page) {
        if (contains(line, kOpenerPrefix)) {
            if (std::optional<int> k = smallestOpenerTag(line, kLastColumnTag)) {
                out.push_back(columns.at(*k));
                skip = true;
            }
            if (firstPass && contains(line, kBlockStart)) {
                out.emplace_back(kBlockStart);
            }
        } else if (contains(line, kCloserPrefix)) {
            skip = false;
            if (contains(line, kBlockEnd)) {
                if (firstPass) {
                    out.emplace_back(kBlockEnd);
                } else {
                    writeBlockCopy(block, columns, out);
                }
            }
        } else if (!skip) {
            if (contains(line, kGeneratorText)) {
                out.emplace_back(kGeneratorLine);
            } else if (contains(line, kTitleText)) {
                out.emplace_back(kYearbookTitleLine);
            } else {
                out.push_back(std::move(line));
            }
        }
    }
    return skip;
}

bool isSettledYearbookLine(std::string_view line) {
    if (contains(line, kOpenerPrefix) || contains(line, kCloserPrefix)) {
        return false;
    }
    if (contains(line, kGeneratorText)) {
        return line == kGeneratorLine;
    }
    return !contains(line, kTitleText) || line == kYearbookTitleLine;
}

YearbookBuilder::YearbookBuilder(std::string_view model) : m_model(model) {
    std::vector<std::string> lines = linesOf(model);
    m_block = blockTemplateOf(lines);
    for (std::string& line : lines) {
        m_middle.push_back(Row{std::move(line), 1});
    }
    m_middleLines = m_middle.size();
}

void YearbookBuilder::append(std::vector<Row>& rows, std::string line, uint64_t count) {
    if (!rows.empty() && rows.back().line == line) {
        rows.back().count += count;
    } else {
        rows.push_back(Row{std::move(line), count});
    }
}

bool YearbookBuilder::passOverMiddle(const ColumnTable& columns) {
    // The rules of applyYearbookPass, applied to a row of equal lines at once.
    const bool firstPass = m_records == 0;
    bool skip = false;
    m_scratch.clear();
    for (Row& row : m_middle) {
        const std::string& line = row.line;
        if (contains(line, kOpenerPrefix)) {
            std::optional<int> k = smallestOpenerTag(line, kLastColumnTag);
            bool start = firstPass && contains(line, kBlockStart);
            if (k && start) {
                for (uint64_t i = 0; i < row.count; ++i) {
                    append(m_scratch, columns.at(*k), 1);
                    append(m_scratch, std::string(kBlockStart), 1);
                }
            } else if (k) {
                append(m_scratch, columns.at(*k), row.count);
            } else if (start) {
                append(m_scratch, std::string(kBlockStart), row.count);
            }
            skip = skip || k.has_value();
        } else if (contains(line, kCloserPrefix)) {
            skip = false;
            if (!contains(line, kBlockEnd)) {
                continue;
            }
            if (firstPass) {
                append(m_scratch, std::string(kBlockEnd), row.count);
                continue;
            }
            for (uint64_t i = 0; i < row.count; ++i) {
                for (const BlockItem& item : m_block) {
                    append(m_scratch, item.column >= 0 ? columns.at(item.column) : item.line, 1);
                }
            }
        } else if (!skip) {
            if (contains(line, kGeneratorText)) {
                append(m_scratch, std::string(kGeneratorLine), row.count);
            } else if (contains(line, kTitleText)) {
                append(m_scratch, std::string(kYearbookTitleLine), row.count);
            } else {
                append(m_scratch, std::move(row.line), row.count);
            }
        }
    }
    return skip;
}

void YearbookBuilder::addRecord(const ColumnTable& columns) {
    // Settled lines pass a pass unchanged and leave it outside any region, so the pass over
    // the whole page is the settled head, the pass over the middle, and the settled tail when
    // the middle's pass ends outside a region (inside one, the tail is dropped whole).
    bool openAtEnd = passOverMiddle(columns);
    ++m_records;
    if (openAtEnd) {
        m_tailReversed.clear();
        m_tailLines = 0;
    }

    size_t head = 0;
    while (head < m_scratch.size() && isSettledYearbookLine(m_scratch[head].line)) {
        for (uint64_t i = 0; i < m_scratch[head].count; ++i) {
            appendLine(m_settled, m_scratch[head].line);
        }
        m_settledLines += m_scratch[head].count;
        ++head;
    }
    size_t tail = m_scratch.size();
    while (tail > head && isSettledYearbookLine(m_scratch[tail - 1].line)) {
        --tail;
    }
    for (size_t i = m_scratch.size(); i > tail; --i) {
        m_tailLines += m_scratch[i - 1].count;
        m_tailReversed.push_back(std::move(m_scratch[i - 1]));
    }
    m_middle.clear();
    m_middleLines = 0;
    for (size_t i = head; i < tail; ++i) {
        m_middleLines += m_scratch[i].count;
        m_middle.push_back(std::move(m_scratch[i]));
    }
}

uint64_t YearbookBuilder::pageLines() const {
    return m_settledLines + m_middleLines + m_tailLines;
}

void YearbookBuilder::takeSettled(std::string& out) {
    out += m_settled;
    m_settled.clear();
}

void YearbookBuilder::finish(std::string& out) const {
    if (m_records == 0) {
        out += m_model;
        return;
    }
    out += m_settled;
    for (const Row& row : m_middle) {
        for (uint64_t i = 0; i < row.count; ++i) {
            appendLine(out, row.line);
        }
    }
    for (size_t i = m_tailReversed.size(); i > 0; --i) {
        for (uint64_t j = 0; j < m_tailReversed[i - 1].count; ++j) {
            appendLine(out, m_tailReversed[i - 1].line);
        }
    }
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
