#include "index/index_scan.h"

#include <cstring>

#include "engine/markers.h"
#include "fs/line_reader.h"

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

bool holdsLineEnd(std::string_view marker) {
    return marker.find_first_of("\r\n") != std::string_view::npos;
}

// Where each capture begins: the line after the last line that sets it, or npos.
struct CaptureStarts {
    size_t criterion = std::string_view::npos;
    size_t text = std::string_view::npos;
};

// A line's capture state after it depends on that line alone: the link-text marker makes the
// next line the link text, else the criterion marker makes it the criterion. So each capture is
// the line after the last line that sets it and has a line after it.
class CaptureFinder {
  public:
    explicit CaptureFinder(std::string_view bytes) : m_bytes(bytes) {}

    // Notes an occurrence of a marker at `at`, occurrences coming in page order.
    void found(size_t at, bool criterion) {
        if (at >= m_lineEnd) {
            closeLine();
            m_lineEnd = lineEndFrom(m_bytes, at);
            m_open = true;
        }
        (criterion ? m_criterion : m_text) = true;
    }

    CaptureStarts finish() {
        closeLine();
        return m_starts;
    }

  private:
    void closeLine() {
        if (!m_open) {
            return;
        }
        size_t next = nextLineStart(m_bytes, m_lineEnd);
        if (next != std::string_view::npos) {
            if (m_text) {
                m_starts.text = next;
            } else if (m_criterion) {
                m_starts.criterion = next;
            }
        }
        m_open = m_criterion = m_text = false;
    }

    std::string_view m_bytes;
    size_t m_lineEnd = 0;
    bool m_open = false;
    bool m_criterion = false;
    bool m_text = false;
    CaptureStarts m_starts;
};

bool matchesAt(std::string_view bytes, size_t at, std::string_view marker) {
    if (at + marker.size() > bytes.size()) {
        return false;
    }
    // Tag markers differ from one another in the digits before their "-->": that byte first.
    size_t probe = marker.size() >= 4 ? marker.size() - 4 : 0;
    return bytes[at + probe] == marker[probe] &&
           std::memcmp(bytes.data() + at, marker.data(), marker.size()) == 0;
}

CaptureStarts findCaptures(std::string_view bytes, std::string_view criterionMarker,
                           std::string_view textMarker) {
    CaptureFinder finder(bytes);
    const bool criterionUsable = !holdsLineEnd(criterionMarker);
    const bool textUsable = !holdsLineEnd(textMarker);
    const size_t anchor = criterionMarker.find('!');
    if (anchor != std::string_view::npos && anchor == textMarker.find('!')) {
        // Both markers have their '!' at the same place, as tag markers do: one search for
        // the '!' finds the occurrences of both.
        const char* data = bytes.data();
        for (size_t at = anchor; at < bytes.size();) {
            const void* hit = std::memchr(data + at, '!', bytes.size() - at);
            if (hit == nullptr) {
                break;
            }
            size_t bang = static_cast<size_t>(static_cast<const char*>(hit) - data);
            at = bang + 1;
            if (bang < anchor) {
                continue;
            }
            size_t start = bang - anchor;
            if (criterionUsable && matchesAt(bytes, start, criterionMarker)) {
                finder.found(start, true);
            }
            if (textUsable && matchesAt(bytes, start, textMarker)) {
                finder.found(start, false);
            }
        }
        return finder.finish();
    }
    // Other markers: the occurrences of the two, merged in page order.
    const size_t npos = std::string_view::npos;
    size_t criterion = criterionUsable ? findMarker(bytes, criterionMarker, 0) : npos;
    size_t text = textUsable ? findMarker(bytes, textMarker, 0) : npos;
    while (criterion != npos || text != npos) {
        if (criterion <= text) {
            finder.found(criterion, true);
            criterion = findMarker(bytes, criterionMarker, criterion + 1);
        } else {
            finder.found(text, false);
            text = findMarker(bytes, textMarker, text + 1);
        }
    }
    return finder.finish();
}

}  // namespace

std::optional<PageCapture> scanIndexPage(std::string_view bytes, std::string_view criterionMarker,
                                         std::string_view textMarker) {
    if (criterionMarker.empty() || textMarker.empty()) {
        // An empty marker is in every line: nothing to search for.
        IndexPageScanner scanner(criterionMarker, textMarker);
        LineReader reader = LineReader::fromMemory(bytes);
        std::string_view line;
        while (reader.next(line)) {
            scanner.feed(line);
        }
        return scanner.capture();
    }
    CaptureStarts starts = findCaptures(bytes, criterionMarker, textMarker);
    if (starts.criterion == std::string_view::npos) {
        return std::nullopt;
    }
    PageCapture capture;
    capture.criterion.assign(
        bytes.substr(starts.criterion, lineEndFrom(bytes, starts.criterion) - starts.criterion));
    if (starts.text != std::string_view::npos) {
        capture.linkText.assign(
            bytes.substr(starts.text, lineEndFrom(bytes, starts.text) - starts.text));
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
