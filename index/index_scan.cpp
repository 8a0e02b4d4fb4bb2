#include "index/index_scan.h"

#include "engine/line_reader.h"
#include "engine/markers.h"

namespace pw {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

void IndexPageScanner::reset() {
    m_expect = Expect::Nothing;
    m_found = false;
    m_capture.criterion.clear();
    m_capture.linkText.clear();
}

void IndexPageScanner::feed(std::string_view line) {
    if (m_expect == Expect::Criterion) {
        m_capture.criterion.assign(line);
        m_found = true;
        m_expect = Expect::Nothing;
    } else if (m_expect == Expect::LinkText) {
        m_capture.linkText.assign(line);
        m_expect = Expect::Nothing;
    }
    if (contains(line, m_criterionMarker)) {
        m_expect = Expect::Criterion;
    }
    if (contains(line, m_textMarker)) {
        m_expect = Expect::LinkText;
    }
}

std::optional<PageCapture> IndexPageScanner::capture() const {
    if (!m_found) {
        return std::nullopt;
    }
    return m_capture;
}

std::optional<PageCapture> scanIndexPage(std::string_view bytes, std::string_view criterionMarker,
                                         std::string_view textMarker) {
    IndexPageScanner scanner(criterionMarker, textMarker);
    LineReader reader = LineReader::fromMemory(bytes);
    std::string_view line;
    while (reader.next(line)) {
        scanner.feed(line);
    }
    return scanner.capture();
}

bool isListedPageName(std::string_view name) {
    return name.size() >= 4 && name.front() != '.' &&
           equalsNoCase(name.substr(name.size() - 4), ".htm");
}

bool isIndexPageName(std::string_view name) {
    return name.size() >= 5 && equalsNoCase(name.substr(0, 5), "index");
}

}  // namespace pw
