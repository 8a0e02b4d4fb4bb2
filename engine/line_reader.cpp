#include "engine/line_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace pw {

LineReader::LineReader(Source source, size_t bufferSize)
    : m_source(std::move(source)), m_buffer(bufferSize < 16 ? 16 : bufferSize) {}

LineReader LineReader::fromFd(int fd, size_t bufferSize) {
    return LineReader(
        [fd](char* buffer, size_t capacity) -> long {
            for (;;) {
                ssize_t got = ::read(fd, buffer, capacity);
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                return static_cast<long>(got);
            }
        },
        bufferSize);
}

LineReader LineReader::fromMemory(std::string_view bytes) {
    auto position = std::make_shared<size_t>(0);
    return LineReader(
        [bytes, position](char* buffer, size_t capacity) -> long {
            size_t n = std::min(capacity, bytes.size() - *position);
            if (n > 0) {
                std::memcpy(buffer, bytes.data() + *position, n);
            }
            *position += n;
            return static_cast<long>(n);
        },
        std::min<size_t>(64 * 1024, bytes.size() + 16));
}

void LineReader::restart() {
    m_begin = m_end = 0;
    m_long.clear();
    m_eof = m_failed = m_skipLf = false;
    m_atStart = true;
}

bool LineReader::refill() {
    if (m_eof) {
        return false;
    }
    long got = m_source(m_buffer.data(), m_buffer.size());
    if (got <= 0) {
        m_failed = got < 0;
        m_eof = true;
        m_begin = m_end = 0;
        return false;
    }
    m_begin = 0;
    m_end = static_cast<size_t>(got);
    if (m_atStart) {
        m_atStart = false;
        // A short first read (a pipe, a slow disk) must not hide the mark.
        while (m_skipBom && m_end < 3) {
            long more = m_source(m_buffer.data() + m_end, m_buffer.size() - m_end);
            if (more <= 0) {
                m_failed = more < 0;
                m_eof = true;
                break;
            }
            m_end += static_cast<size_t>(more);
        }
        if (m_skipBom && m_end >= 3 && std::memcmp(m_buffer.data(), "\xEF\xBB\xBF", 3) == 0) {
            m_begin = 3;
        }
    }
    return true;
}

bool LineReader::next(std::string_view& line) {
    m_long.clear();
    bool partial = false;
    for (;;) {
        // A refill may bring nothing but a byte-order mark: read on.
        while (m_begin == m_end) {
            if (!refill()) {
                if (partial) {
                    line = m_long;
                    return true;
                }
                return false;
            }
        }
        char* data = m_buffer.data();
        if (m_skipLf) {
            m_skipLf = false;
            if (data[m_begin] == '\n') {
                ++m_begin;
                continue;
            }
        }
        char* start = data + m_begin;
        size_t length = m_end - m_begin;
        // Most lines end with LF or CR LF: find the LF, then look for an earlier CR.
        char* lf = static_cast<char*>(std::memchr(start, '\n', length));
        size_t scan = lf ? static_cast<size_t>(lf - start) : length;
        char* cr = static_cast<char*>(std::memchr(start, '\r', scan));
        char* end = cr ? cr : lf;
        if (end == nullptr) {
            m_long.append(start, length);
            partial = true;
            m_begin = m_end;
            continue;
        }
        size_t lineLength = static_cast<size_t>(end - start);
        m_begin += lineLength + 1;
        if (*end == '\r') {
            if (m_begin < m_end) {
                if (data[m_begin] == '\n') {
                    ++m_begin;
                }
            } else {
                m_skipLf = true;
            }
        }
        if (partial) {
            m_long.append(start, lineLength);
            line = m_long;
        } else {
            line = std::string_view(start, lineLength);
        }
        return true;
    }
}

uint64_t LineReader::countRemaining() {
    uint64_t count = 0;
    std::string_view line;
    while (next(line)) {
        ++count;
    }
    return count;
}

}  // namespace pw
