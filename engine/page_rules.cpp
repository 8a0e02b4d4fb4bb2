#include "engine/page_rules.h"

#include <cstring>

#include "engine/markers.h"
#include "fs/line_reader.h"

namespace pw {

namespace {

void appendLine(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
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

void PageRules::begin(uint64_t lastCloserLine) {
    m_lastCloserLine = lastCloserLine;
    m_inside = false;
    m_lastOpened.reset();
}

void PageRules::apply(std::string_view line, const Marks& marks, uint64_t lineNumber,
                      std::string& out) {
    if (marks.opener) {
        std::optional<int> tag = smallestOpenerTag(line, 100);
        if (!tag) {
            return;
        }
        const std::string& value = m_columns.at(*tag);
        std::string opener = openerMarker(*tag);
        m_lastOpened = *tag;
        size_t open = line.find(opener);
        size_t close = line.find(closerMarker(*tag), open + opener.size());
        if (close != std::string_view::npos) {
            // Opened and closed on one line: the value replaces what stands between.
            out.append(line.substr(0, open + opener.size()));
            out += value;
            appendLine(out, line.substr(close));
            m_inside = false;
            return;
        }
        appendLine(out, opener);
        appendLine(out, value);
        if (lineNumber > m_lastCloserLine) {
            // No line after this one closes the region: close it here, keep what follows.
            appendLine(out, closerMarker(*tag));
            m_inside = false;
        } else {
            m_inside = true;
        }
        return;
    }
    if (marks.closer) {
        out += kCloserPrefix;
        if (m_lastOpened) {
            out += std::to_string(*m_lastOpened);
        }
        appendLine(out, kMarkerSuffix);
        m_inside = false;
        return;
    }
    if (m_inside) {
        return;
    }
    if (marks.generator) {
        appendLine(out, kGeneratorLine);
        return;
    }
    if (marks.title) {
        out += kTitleText;
        out += m_title;
        appendLine(out, "</title>");
        return;
    }
    appendLine(out, line);
}

std::string assemblePageText(std::string_view page, const ColumnTable& columns,
                             const std::string& title) {
    uint64_t lastCloser = 0;
    uint64_t number = 0;
    std::string_view line;
    LineReader counter = LineReader::fromMemory(page);
    while (counter.next(line)) {
        ++number;
        if (PageRules::isCloserLine(line)) {
            lastCloser = number;
        }
    }
    PageRules rules(columns, title);
    rules.begin(lastCloser);
    std::string out;
    LineReader reader = LineReader::fromMemory(page);
    number = 0;
    while (reader.next(line)) {
        rules.apply(line, ++number, out);
    }
    return out;
}

}  // namespace pw
