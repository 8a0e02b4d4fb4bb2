#include "engine/column_table.h"

#include <algorithm>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pw {

namespace {

// Hands out the positions of a separator in a line, in order. It looks at 16 bytes at a time,
// so a record costs one pass over its bytes however many fields it has (a search per field
// would start over for each of them).
class SeparatorFinder {
  public:
    SeparatorFinder(const char* data, size_t size, char separator)
        : m_data(data), m_size(size), m_separator(separator) {}

    // The position of the next separator, or the line's size when none is left.
    size_t next() {
        for (;;) {
            if (m_mask != 0) {
                const size_t at = m_chunk + static_cast<size_t>(__builtin_ctz(m_mask));
                m_mask &= m_mask - 1;
                return at;
            }
            if (m_scanned >= m_size) {
                return m_size;
            }
            m_chunk = m_scanned;
            scanChunk();
        }
    }

  private:
    static constexpr size_t kChunk = 16;

    void scanChunk() {
#ifdef __SSE2__
        if (m_size - m_scanned >= kChunk) {
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_data + m_scanned));
            m_mask = static_cast<uint32_t>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(m_separator))));
            m_scanned += kChunk;
            return;
        }
#endif
        const size_t n = std::min(kChunk, m_size - m_scanned);
        for (size_t i = 0; i < n; ++i) {
            if (m_data[m_scanned + i] == m_separator) {
                m_mask |= 1u << i;
            }
        }
        m_scanned += n;
    }

    const char* m_data;
    size_t m_size;
    char m_separator;
    size_t m_scanned = 0;
    // The separators of the chunk starting at m_chunk not handed out yet, one bit per byte.
    size_t m_chunk = 0;
    uint32_t m_mask = 0;
};

}  // namespace

void ColumnTable::split(std::string_view line, char separator) {
    m_line.assign(line);
    SeparatorFinder separators(m_line.data(), m_line.size(), separator);
    size_t start = 0;
    int k = 0;
    for (; k < kSlots; ++k) {
        const size_t end = separators.next();
        m_begin[static_cast<size_t>(k)] = start;
        m_end[static_cast<size_t>(k)] = end;
        if (end == m_line.size()) {
            ++k;
            break;
        }
        start = end + 1;
    }
    for (int rest = k; rest < m_filled; ++rest) {
        m_begin[static_cast<size_t>(rest)] = 0;
        m_end[static_cast<size_t>(rest)] = 0;
    }
    m_filled = k;
}

void ColumnTable::clear() {
    m_line.clear();
    m_begin.fill(0);
    m_end.fill(0);
    m_filled = 0;
}

}  // namespace pw
