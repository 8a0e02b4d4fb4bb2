#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fs/env.h"

namespace pw {

// Reads text line by line from a stream of bytes. A line ends at CR, at LF, or at CR LF (one
// terminator); the terminator is not part of the line, and a last line without one is still a
// line. Bytes are passed through unchanged. Memory is bounded by the longest line.
class LineReader {
  public:
    // Fills `buffer` with at most `capacity` bytes; returns the count, 0 at the end, -1 on error.
    using Source = std::function<long(char* buffer, size_t capacity)>;

    explicit LineReader(Source source, size_t bufferSize = 64 * 1024);
    // Reads from an open file descriptor through `env`; the reader does not own the descriptor.
    static LineReader fromFd(Env& env, int fd, size_t bufferSize = 64 * 1024);
    // Reads from bytes in memory, which must outlive the reader; every line is a view into
    // them.
    static LineReader fromMemory(std::string_view bytes);

    // Drops a UTF-8 byte-order mark at the very start of the input (data files only).
    void skipByteOrderMark() { m_skipBom = true; }

    // Stores the next line in `line`, valid until the next call; false at the end of the input.
    bool next(std::string_view& line);

    // True when a read failed; the lines returned before it are sound.
    bool failed() const { return m_failed; }

    // Counts the lines left in the input, consuming it.
    uint64_t countRemaining();

    // Forgets buffered input so the reader can start again after the source was rewound.
    void restart();
    // Starts reading `fd` through `env` from its current position, keeping the buffers (and the
    // room a long line took) of what it read before.
    void readFrom(Env& env, int fd);

  private:
    bool refill();

    Source m_source;
    std::vector<char> m_buffer;
    // The bytes being split: the buffer, or the caller's memory.
    const char* m_data = nullptr;
    std::string_view m_memory;
    bool m_inMemory = false;
    bool m_memoryGiven = false;
    size_t m_begin = 0;
    size_t m_end = 0;
    // Where the next CR of the buffer at or after m_begin is (m_end when there is none); below
    // m_begin, or kUnknown, when it must be looked for.
    static constexpr size_t kUnknown = SIZE_MAX;
    size_t m_crAt = kUnknown;
    std::string m_long;
    bool m_eof = false;
    bool m_failed = false;
    bool m_skipLf = false;
    bool m_skipBom = false;
    bool m_atStart = true;
};

}  // namespace pw
