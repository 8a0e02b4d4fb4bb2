#include "links/tag_line.h"

#include <array>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/markers.h"

namespace pw {

bool TagLineFinder::feed(std::string_view line) {
    if (m_done) {
        return true;
    }
    m_anyLine = true;
    bool holds = contains(line, m_marker);
    if (holds) {
        m_found = true;
    } else if (m_found) {
        m_line.assign(line);
        m_done = true;
    }
    return m_done;
}

TagLine TagLineFinder::result() const {
    if (m_done) {
        return TagLine{TagLine::Kind::Line, m_line};
    }
    return TagLine{m_anyLine ? TagLine::Kind::NotFound : TagLine::Kind::EmptyFile, {}};
}

size_t lineEndAt(std::string_view bytes, size_t begin) {
    while (begin < bytes.size() && bytes[begin] != '\r' && bytes[begin] != '\n') {
        ++begin;
    }
    return begin;
}

size_t nextLineAt(std::string_view bytes, size_t end) {
    if (end >= bytes.size()) {
        return bytes.size();
    }
    return end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
}

size_t lineStartAt(std::string_view bytes, size_t at) {
    while (at > 0 && bytes[at - 1] != '\r' && bytes[at - 1] != '\n') {
        --at;
    }
    return at;
}

bool endsEveryLineWithCrLf(std::string_view bytes) {
    const size_t size = bytes.size();
    if (size < 2 || bytes[size - 2] != '\r' || bytes[size - 1] != '\n') {
        return false;
    }
    // A byte is an LF exactly when the one before it is a CR: the LF marks are the CR marks
    // moved on by one byte.
    bool afterCr = false;
    size_t i = 0;
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= size; i += 16) {
        const __m128i piece = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
        const auto crs = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(piece, cr)));
        const auto lfs = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(piece, lf)));
        if (lfs != (((crs << 1) | uint32_t{afterCr}) & 0xFFFF)) {
            return false;
        }
        afterCr = (crs >> 15) != 0;
    }
#endif
    for (; i < size; ++i) {
        if ((bytes[i] == '\n') != afterCr) {
            return false;
        }
        afterCr = bytes[i] == '\r';
    }
    return true;
}

namespace {

// The tag line of `marker`, whose first place in `bytes` is `at` (npos when it has none).
TagLine tagLineFrom(std::string_view bytes, std::string_view marker, size_t at) {
    if (bytes.empty()) {
        return TagLine{TagLine::Kind::EmptyFile, {}};
    }
    if (at == std::string_view::npos) {
        return TagLine{TagLine::Kind::NotFound, {}};
    }
    size_t begin = nextLineAt(bytes, lineEndAt(bytes, at));
    while (begin < bytes.size()) {
        const size_t end = lineEndAt(bytes, begin);
        const std::string_view line = bytes.substr(begin, end - begin);
        if (!contains(line, marker)) {
            return TagLine{TagLine::Kind::Line, std::string(line)};
        }
        begin = nextLineAt(bytes, end);
    }
    return TagLine{TagLine::Kind::NotFound, {}};
}

}  // namespace

// A marker holds no line end, so its first place in the bytes is on the first line holding it:
// the search goes straight there instead of looking at every line before.
TagLine tagLineOf(std::string_view bytes, std::string_view marker) {
    return tagLineFrom(bytes, marker, findMarker(bytes, marker));
}

bool readPageTags(LineReader& reader, std::string_view linkMarker, std::string_view textMarker,
                  PageTags& tags) {
    TagLineFinder link(linkMarker);
    TagLineFinder text(textMarker);
    std::string_view line;
    while (reader.next(line)) {
        bool linkDone = link.feed(line);
        bool textDone = text.feed(line);
        if (linkDone && textDone) {
            break;
        }
    }
    tags.link = link.result();
    tags.text = text.result();
    return !reader.failed();
}

PageTags pageTagsOf(std::string_view bytes, std::string_view linkMarker,
                    std::string_view textMarker) {
    const std::array<std::string_view, 2> markers = {linkMarker, textMarker};
    std::array<size_t, 2> places{};
    findMarkers(bytes, markers, places);
    return PageTags{tagLineFrom(bytes, linkMarker, places[0]),
                    tagLineFrom(bytes, textMarker, places[1])};
}

std::string_view trimSpaces(std::string_view text) {
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) {
        return {};
    }
    size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}

std::optional<std::string_view> linkKeyOf(const TagLine& tagLine) {
    switch (tagLine.kind) {
        case TagLine::Kind::Line:
            return trimSpaces(tagLine.text);
        case TagLine::Kind::EmptyFile:
            return std::string_view();
        case TagLine::Kind::NotFound:
            break;
    }
    return std::nullopt;
}

std::string NotFoundValues::next() {
    std::uniform_int_distribution<uint32_t> below(0, 999999);
    return "Nom" + std::to_string(below(m_engine));
}

std::string textOf(const TagLine& tagLine, NotFoundValues& notFound) {
    switch (tagLine.kind) {
        case TagLine::Kind::Line:
            return tagLine.text;
        case TagLine::Kind::EmptyFile:
            return {};
        case TagLine::Kind::NotFound:
            break;
    }
    return notFound.next();
}

}  // namespace pw
