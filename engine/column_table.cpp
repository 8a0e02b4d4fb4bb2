#include "engine/column_table.h"

#include <algorithm>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pw {

namespace {

constexpr size_t kChunk = 64;

// Hands out the ends of a line's fields, in order. It marks the separators of 64 bytes at a
// time, 16 bytes to a comparison, so a record costs one pass over its bytes however many fields
// it has (a search per field would start over for each of them). The line must be followed by
// kChunk readable bytes.
class FieldFinder {
  public:
    FieldFinder(const char* data, size_t size, char separator)
        : m_data(data), m_size(size), m_separator(separator) {}

    // The end of the next field: the position of the next separator, or the line's size when
    // none is left.
    size_t next() {
        while (m_separators == 0) {
            if (m_scanned >= m_size) {
                return m_size;
            }
            scanChunk();
        }
        const size_t at = m_chunk + static_cast<size_t>(__builtin_ctzll(m_separators));
        m_separators &= m_separators - 1;
        return at;
    }

  private:
    // Marks the separators of the next chunk. The bytes past the line are the table's padding:
    // they are read, and their marks cleared.
    void scanChunk() {
        m_chunk = m_scanned;
        m_separators = 0;
        const char* const bytes = m_data + m_scanned;
#ifdef __SSE2__
        const __m128i separator = _mm_set1_epi8(m_separator);
        for (size_t i = 0; i < kChunk; i += 16) {
            const __m128i piece = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            m_separators |=
                uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(piece, separator)))}
                << i;
        }
#else
        for (size_t i = 0; i < kChunk; ++i) {
            m_separators |= uint64_t{bytes[i] == m_separator} << i;
        }
#endif
        const size_t n = m_size - m_scanned;
        if (n < kChunk) {
            m_separators &= (uint64_t{1} << n) - 1;
            m_scanned = m_size;
        } else {
            m_scanned += kChunk;
        }
    }

    const char* m_data;
    size_t m_size;
    char m_separator;
    size_t m_scanned = 0;
    // The separators not handed out yet of the chunk starting at m_chunk, one bit per byte.
    size_t m_chunk = 0;
    uint64_t m_separators = 0;
};

}  // namespace

void ColumnTable::split(std::string_view line, char separator) {
    const size_t size = line.size();
    m_line.assign(line);
    m_line.append(kChunk, '\0');
    FieldFinder fields(m_line.data(), size, separator);
    size_t start = 0;
    int k = 0;
    for (; k < kSlots; ++k) {
        const size_t end = fields.next();
        m_begin[static_cast<size_t>(k)] = start;
        m_end[static_cast<size_t>(k)] = end;
        if (end == size) {
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
