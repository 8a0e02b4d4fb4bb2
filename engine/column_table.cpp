#include "engine/column_table.h"

#include <algorithm>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pw {

namespace {

// Hands out the ends of a line's fields, in order, and whether each field holds a '<'. It
// marks the separators and the '<' of 64 bytes at a time, 16 bytes to a comparison, so a
// record costs one pass over its bytes however many fields it has (a search per field would
// start over for each of them).
class FieldFinder {
  public:
    FieldFinder(const char* data, size_t size, char separator)
        : m_data(data), m_size(size), m_separator(separator) {}

    // The end of the next field: the position of the next separator, or the line's size when
    // none is left. `angle` tells whether the field holds a '<'.
    size_t next(bool& angle) {
        for (;;) {
            size_t at = m_size;
            if (m_separators != 0) {
                at = m_chunk + static_cast<size_t>(__builtin_ctzll(m_separators));
                m_separators &= m_separators - 1;
            } else if (m_scanned < m_size) {
                if (m_angles != 0) {
                    m_lastAngle = m_chunk + 63 - static_cast<size_t>(__builtin_clzll(m_angles));
                }
                m_chunk = m_scanned;
                scanChunk();
                continue;
            }
            const size_t angleAt = lastAngleBefore(at);
            angle = angleAt != kNone && angleAt >= m_fieldStart;
            m_fieldStart = at + 1;
            return at;
        }
    }

  private:
    static constexpr size_t kChunk = 64;
    static constexpr size_t kNone = SIZE_MAX;

    // The last '<' before `at`, which lies in the chunk being handed out or after it.
    size_t lastAngleBefore(size_t at) const {
        const size_t offset = at - m_chunk;
        const uint64_t below =
            offset >= kChunk ? m_angles : m_angles & ((uint64_t{1} << offset) - 1);
        return below != 0 ? m_chunk + 63 - static_cast<size_t>(__builtin_clzll(below))
                          : m_lastAngle;
    }

    void scanChunk() {
        m_separators = 0;
        m_angles = 0;
        const size_t n = std::min(kChunk, m_size - m_scanned);
        const char* const bytes = m_data + m_scanned;
        size_t i = 0;
#ifdef __SSE2__
        const __m128i separator = _mm_set1_epi8(m_separator);
        const __m128i angle = _mm_set1_epi8('<');
        for (; i + 16 <= n; i += 16) {
            const __m128i piece = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            m_separators |=
                uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(piece, separator)))}
                << i;
            m_angles |=
                uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(piece, angle)))}
                << i;
        }
#endif
        for (; i < n; ++i) {
            m_separators |= uint64_t{bytes[i] == m_separator} << i;
            m_angles |= uint64_t{bytes[i] == '<'} << i;
        }
        m_scanned += n;
    }

    const char* m_data;
    size_t m_size;
    char m_separator;
    size_t m_scanned = 0;
    // The chunk starting at m_chunk: its separators not handed out yet, and its '<', one bit
    // per byte.
    size_t m_chunk = 0;
    uint64_t m_separators = 0;
    uint64_t m_angles = 0;
    // The last '<' of the chunks before m_chunk, and where the current field starts.
    size_t m_lastAngle = kNone;
    size_t m_fieldStart = 0;
};

}  // namespace

void ColumnTable::split(std::string_view line, char separator) {
    m_line.assign(line);
    FieldFinder fields(m_line.data(), m_line.size(), separator);
    size_t start = 0;
    int k = 0;
    for (; k < kSlots; ++k) {
        bool angle = false;
        const size_t end = fields.next(angle);
        m_begin[static_cast<size_t>(k)] = start;
        m_end[static_cast<size_t>(k)] = end;
        m_angle[static_cast<size_t>(k)] = angle;
        if (end == m_line.size()) {
            ++k;
            break;
        }
        start = end + 1;
    }
    for (int rest = k; rest < m_filled; ++rest) {
        m_begin[static_cast<size_t>(rest)] = 0;
        m_end[static_cast<size_t>(rest)] = 0;
        m_angle[static_cast<size_t>(rest)] = false;
    }
    m_filled = k;
}

void ColumnTable::clear() {
    m_line.clear();
    m_begin.fill(0);
    m_end.fill(0);
    m_angle.fill(false);
    m_filled = 0;
}

}  // namespace pw
