#include "engine/page_rules.h"

#include <algorithm>
#include <cstring>

#include "fs/line_reader.h"

namespace pw {

namespace {

// The rules' output appended to a string.
struct StringOutput {
    std::string& out;
    const ColumnTable& columns;
    std::string_view title_;
    void text(std::string_view bytes) { out += bytes; }
    void column(int k) { out += columns.at(k); }
    void title() { out += title_; }
};

uint64_t positionIn(std::string_view page, std::string_view line) {
    return static_cast<uint64_t>(line.data() - page.data()) + 1;
}

}  // namespace

// Every text the rules look for begins with '<', so one walk over the line's '<' finds them
// all, where a search per text would walk it four times.
PageRules::Marks PageRules::marksOf(std::string_view line) {
    Marks marks;
    const char* const end = line.data() + line.size();
    const char* at = line.data();
    while (at < end) {
        at = static_cast<const char*>(std::memchr(at, '<', static_cast<size_t>(end - at)));
        if (at == nullptr) {
            break;
        }
        const std::string_view rest(at, static_cast<size_t>(end - at));
        // The character after '<' tells which of the texts may begin here.
        switch (rest.size() > 1 ? rest[1] : '\0') {
            case '!':
                marks.opener = marks.opener || rest.starts_with(kOpenerPrefix);
                marks.closer = marks.closer || rest.starts_with(kCloserPrefix);
                break;
            case 'm':
                marks.generator = marks.generator || rest.starts_with(kGeneratorText);
                break;
            case 't':
                marks.title = marks.title || rest.starts_with(kTitleText);
                break;
            default:
                break;
        }
        ++at;
    }
    return marks;
}

bool PageRules::isCloserLine(std::string_view line) {
    return isCloserLine(marksOf(line));
}

void PageRules::begin(uint64_t lastCloser) {
    m_lastCloser = lastCloser;
    m_inside = false;
    m_lastOpened.reset();
}

void PageRules::apply(std::string_view line, const Marks& marks, uint64_t position,
                      std::string& out) {
    StringOutput output{out, m_columns, m_title};
    applyTo(line, marks, position, output);
}

uint64_t lastCloserPosition(std::string_view page) {
    size_t from = std::string_view::npos;
    for (;;) {
        const size_t at = page.rfind(kCloserPrefix, from);
        if (at == std::string_view::npos) {
            return 0;
        }
        // The line around it, as the line reader splits the page: CR, LF and CR LF end lines.
        size_t begin = page.find_last_of("\r\n", at);
        begin = begin == std::string_view::npos ? 0 : begin + 1;
        size_t end = page.find_first_of("\r\n", at);
        end = end == std::string_view::npos ? page.size() : end;
        if (PageRules::isCloserLine(page.substr(begin, end - begin))) {
            return begin + 1;
        }
        if (begin == 0) {
            return 0;
        }
        from = begin - 1;
    }
}

// Records the rules' output as a template: text runs joined, values and title left open.
class TemplateBuilder {
  public:
    explicit TemplateBuilder(PageTemplate& made) : m_made(made) {}
    void text(std::string_view bytes) {
        if (m_made.m_pieces.empty() || m_made.m_pieces.back().what != PageTemplate::kText) {
            m_made.m_pieces.push_back(
                PageTemplate::Piece{PageTemplate::kText, m_made.m_text.size(), 0});
        }
        m_made.m_text += bytes;
        m_made.m_pieces.back().size += bytes.size();
    }
    void column(int k) {
        m_made.m_pieces.push_back(PageTemplate::Piece{k, 0, 0});
        std::vector<int>& used = m_made.m_columns;
        if (std::find(used.begin(), used.end(), k) == used.end()) {
            used.push_back(k);
        }
    }
    void title() { m_made.m_pieces.push_back(PageTemplate::Piece{PageTemplate::kTitle, 0, 0}); }

  private:
    PageTemplate& m_made;
};

PageTemplate::PageTemplate(std::string_view model) {
    // The rules never read the values: the record only fills the places left open.
    const ColumnTable none;
    const std::string noTitle;
    PageRules rules(none, noTitle);
    rules.begin(lastCloserPosition(model));
    TemplateBuilder builder(*this);
    LineReader reader = LineReader::fromMemory(model);
    std::string_view line;
    while (reader.next(line)) {
        ++m_lines;
        rules.applyTo(line, PageRules::marksOf(line), positionIn(model, line), builder);
    }
    m_pageLines = static_cast<uint64_t>(std::count(m_text.begin(), m_text.end(), '\n'));
}

namespace {

// True when `page` holds `part` at `at`.
bool holdsAt(std::string_view page, size_t at, std::string_view part) {
    return page.size() - at >= part.size() &&
           (part.empty() || std::memcmp(page.data() + at, part.data(), part.size()) == 0);
}

// True when the rules find none of their texts in `value`.
bool plain(std::string_view value) {
    const PageRules::Marks marks = PageRules::marksOf(value);
    return !marks.opener && !marks.closer && !marks.generator && !marks.title;
}

}  // namespace

std::string_view PageTemplate::textOf(const Piece& piece) const {
    return std::string_view(m_text).substr(piece.begin, piece.size);
}

std::string_view PageTemplate::bytesOf(const Piece& piece, const ColumnTable& columns,
                                       std::string_view title) const {
    if (piece.what == kText) {
        return textOf(piece);
    }
    return piece.what == kTitle ? title : columns.at(piece.what);
}

void PageTemplate::render(const ColumnTable& columns, std::string_view title,
                          std::string& out) const {
    for (const Piece& piece : m_pieces) {
        out += bytesOf(piece, columns, title);
    }
}

bool PageTemplate::rendersAs(const ColumnTable& columns, std::string_view title,
                             std::string_view page) const {
    size_t at = 0;
    for (const Piece& piece : m_pieces) {
        const std::string_view part = bytesOf(piece, columns, title);
        if (!holdsAt(page, at, part)) {
            return false;
        }
        at += part.size();
    }
    return at == page.size();
}

bool PageTemplate::rendersFixedPoint(const ColumnTable& columns, std::string_view title) const {
    if (!plain(title)) {
        return false;
    }
    for (int k : m_columns) {
        if (columns.holdsAngle(k) && !plain(columns.at(k))) {
            return false;
        }
    }
    return true;
}

bool PageTemplate::rendersSomeRecordAs(std::string_view page) const {
    size_t at = 0;
    for (size_t i = 0; i < m_pieces.size(); ++i) {
        const Piece& piece = m_pieces[i];
        if (piece.what == kText) {
            const std::string_view text = textOf(piece);
            if (!holdsAt(page, at, text)) {
                return false;
            }
            at += text.size();
            continue;
        }
        // A value or the title: text of one line, up to where the line's part of the text after
        // it begins (a value or title holding that part is left to the rules).
        if (i + 1 == m_pieces.size() || m_pieces[i + 1].what != kText) {
            return false;
        }
        const std::string_view next = textOf(m_pieces[i + 1]);
        const std::string_view stop =
            next.substr(0, std::min(next.find_first_of("\r\n"), next.size()));
        const size_t lineEnd = std::min(page.find_first_of("\r\n", at), page.size());
        const std::string_view line = page.substr(at, lineEnd - at);
        const size_t end = stop.empty() ? line.size() : line.find(stop);
        if (end == std::string_view::npos || !plain(line.substr(0, end))) {
            return false;
        }
        at += end;
    }
    return at == page.size();
}

std::string assemblePageText(std::string_view page, const ColumnTable& columns,
                             std::string_view title) {
    PageRules rules(columns, title);
    rules.begin(lastCloserPosition(page));
    std::string out;
    LineReader reader = LineReader::fromMemory(page);
    std::string_view line;
    while (reader.next(line)) {
        rules.apply(line, positionIn(page, line), out);
    }
    return out;
}

}  // namespace pw
