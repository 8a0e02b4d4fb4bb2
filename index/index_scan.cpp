#include "index/index_scan.h"

#include <cstring>

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

namespace {

bool endsLine(char c) {
    return c == '\r' || c == '\n';
}

// Where `marker` next occurs in `bytes` from `from`, or npos. Markers begin "<!--": the search
// runs on the '!', which is rare in pages, rather than on the '<' that starts every tag.
size_t findMarker(std::string_view bytes, std::string_view marker, size_t from) {
    size_t anchor = marker.find('!');
    if (anchor == std::string_view::npos) {
        return bytes.find(marker, from);
    }
    const char* data = bytes.data();
    size_t at = from + anchor;
    while (at < bytes.size()) {
        const void* hit = std::memchr(data + at, '!', bytes.size() - at);
        if (hit == nullptr) {
            return std::string_view::npos;
        }
        size_t start = static_cast<size_t>(static_cast<const char*>(hit) - data) - anchor;
        if (start + marker.size() <= bytes.size() &&
            std::memcmp(data + start, marker.data(), marker.size()) == 0) {
            return start;
        }
        at = start + anchor + 1;
    }
    return std::string_view::npos;
}

size_t lineStartBefore(std::string_view bytes, size_t at) {
    while (at > 0 && !endsLine(bytes[at - 1])) {
        --at;
    }
    return at;
}

size_t lineEndFrom(std::string_view bytes, size_t at) {
    while (at < bytes.size() && !endsLine(bytes[at])) {
        ++at;
    }
    return at;
}

// Where the line after the line ending at `end` begins; npos when that line was the last.
size_t nextLineStart(std::string_view bytes, size_t end) {
    if (end >= bytes.size()) {
        return std::string_view::npos;
    }
    size_t next = end + 1;
    if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') {
        ++next;
    }
    return next < bytes.size() ? next : std::string_view::npos;
}

// A line's capture state after it depends on that line alone: the link-text marker makes the
// next line the link text, else the criterion marker makes it the criterion. So each capture is
// the line after the last line that sets it and has a line after it. Returns where that line
// begins, or npos.
size_t lastCaptureStart(std::string_view bytes, std::string_view marker,
                        std::string_view overridingMarker) {
    size_t found = std::string_view::npos;
    if (marker.find_first_of("\r\n") != std::string_view::npos) {
        return found;  // no line can hold it
    }
    size_t at = findMarker(bytes, marker, 0);
    while (at != std::string_view::npos) {
        size_t start = lineStartBefore(bytes, at);
        size_t end = lineEndFrom(bytes, at + marker.size());
        std::string_view line = bytes.substr(start, end - start);
        bool overridden = !overridingMarker.empty() &&
                          findMarker(line, overridingMarker, 0) != std::string_view::npos;
        size_t next = nextLineStart(bytes, end);
        if (!overridden && next != std::string_view::npos) {
            found = next;
        }
        at = next == std::string_view::npos ? next : findMarker(bytes, marker, next);
    }
    return found;
}

}  // namespace

std::optional<PageCapture> scanIndexPage(std::string_view bytes, std::string_view criterionMarker,
                                         std::string_view textMarker) {
    size_t criterion = lastCaptureStart(bytes, criterionMarker, textMarker);
    if (criterion == std::string_view::npos) {
        return std::nullopt;
    }
    PageCapture capture;
    capture.criterion.assign(bytes.substr(criterion, lineEndFrom(bytes, criterion) - criterion));
    size_t text = lastCaptureStart(bytes, textMarker, {});
    if (text != std::string_view::npos) {
        capture.linkText.assign(bytes.substr(text, lineEndFrom(bytes, text) - text));
    }
    return capture;
}

uint64_t countLines(std::string_view bytes) {
    uint64_t lines = 0;
    for (size_t at = 0; at < bytes.size(); ++lines) {
        at = nextLineStart(bytes, lineEndFrom(bytes, at));
    }
    return lines;
}

bool isListedPageName(std::string_view name) {
    return name.size() >= 4 && name.front() != '.' &&
           equalsNoCase(name.substr(name.size() - 4), ".htm");
}

bool isIndexPageName(std::string_view name) {
    return name.size() >= 5 && equalsNoCase(name.substr(0, 5), "index");
}

}  // namespace pw
