#include "fs/line_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace pw {

LineReader::LineReader(Source source, size_t bufferSize)
    : m_source(std::move(source)), m_buffer(m_source ? std::max<size_t>(bufferSize, 16) : 0) {}

namespace {

LineReader::Source sourceOf(Env& env, int fd) {
    return [&env, fd](char* buffer, size_t capacity) -> long {
        size_t got = 0;
        return env.read(fd, buffer, capacity, got).ok() ? static_cast<long>(got) : -1;
    };
}

}  // namespace

LineReader LineReader::fromFd(Env& env, int fd, size_t bufferSize) {
    return LineReader(sourceOf(env, fd), bufferSize);
}

void LineReader::readFrom(Env& env, int fd) {
    m_source = sourceOf(env, fd);
    if (m_buffer.empty()) {
        m_buffer.resize(64 * 1024);
    }
    m_inMemory = false;
    restart();
}

LineReader LineReader::fromMemory(std::string_view bytes) {
    // Lines are handed out as views straight into `bytes`: no copy, no buffer.
    LineReader reader(Source(), 0);
    reader.m_inMemory = true;
    reader.m_memory = bytes;
    return reader;
}

void LineReader::restart() {
    m_begin = m_end = 0;
    m_long.clear();
    m_eof = m_failed = m_skipLf = m_memoryGiven = false;
    m_crAt = kUnknown;
    m_atStart = true;
}

bool LineReader::refill() {
    if (m_eof) {
        return false;
    }
    if (m_inMemory) {
        m_eof = m_memoryGiven;
        m_memoryGiven = true;
        m_data = m_memory.data();
        m_crAt = kUnknown;
        m_begin = 0;
        m_end = m_eof ? 0 : m_memory.size();
        if (m_atStart) {
            m_atStart = false;
            if (m_skipBom && m_memory.substr(0, 3) == "\xEF\xBB\xBF") {
                m_begin = 3;
            }
        }
        if (m_end == 0) {
            m_eof = true;
            return false;
        }
        return true;
    }
    m_data = m_buffer.data();
    m_crAt = kUnknown;
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
        if (m_skipBom && m_end >= 3 && std::memcmp(m_data, "\xEF\xBB\xBF", 3) == 0) {
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
        const char* data = m_data;
        if (m_skipLf) {
            m_skipLf = false;
            if (data[m_begin] == '\n') {
                ++m_begin;
                continue;
            }
        }
        const char* start = data + m_begin;
        size_t length = m_end - m_begin;
        // The next CR of the buffer is looked for once and remembered, so the lines of a file
        // without CR are scanned once, for their LF.
        if (m_crAt == kUnknown || m_crAt < m_begin) {
            const void* cr = std::memchr(start, '\r', length);
            m_crAt = cr ? static_cast<size_t>(static_cast<const char*>(cr) - data) : m_end;
        }
        const size_t crScan = m_crAt - m_begin;
        const char* lf =
            static_cast<const char*>(std::memchr(start, '\n', std::min(length, crScan)));
        const char* end = lf ? lf : (m_crAt < m_end ? data + m_crAt : nullptr);
        if (end == nullptr && m_inMemory && !partial) {
            // The last line of bytes in memory, without an end: handed out where it lies.
            m_begin = m_end;
            line = std::string_view(start, length);
            return true;
        }
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
