#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "fs/env.h"

namespace pw {

// An open file descriptor, closed through its Env when the owner goes.
class FileHandle {
  public:
    FileHandle() = default;
    FileHandle(Env& env, int fd) : m_env(&env), m_fd(fd) {}
    FileHandle(FileHandle&& other) noexcept : m_env(other.m_env), m_fd(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { reset(); }

    bool valid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // Gives up the descriptor without closing it.
    int release();
    // Closes the descriptor, if any.
    void reset();

  private:
    Env* m_env = nullptr;
    int m_fd = -1;
};

// Opens the file at `path` for reading, following links.
Status openForReading(Env& env, const std::string& path, FileHandle& file);

// Reads `fd` from its current position to its end into `bytes` (replacing its content). More
// than `limit` bytes is an error (EFBIG) and leaves `bytes` empty.
Status readAll(Env& env, int fd, std::string& bytes, size_t limit = std::string::npos);

// Reads `fd` from its current position to its end into `buffer`, whose size only ever grows
// (its bytes are not cleared), and sets `bytes` to what was read. `expected` is the size a
// stat gave: a read that stops there, short of the room it had, is the end of the file, so a
// file of the expected size takes one read. More than `limit` bytes is an error (EFBIG).
Status readSized(Env& env, int fd, uint64_t expected, std::string& buffer, std::string_view& bytes,
                 size_t limit = std::string::npos);

// Reads the whole file at `path`; a missing file gives a not-found status.
Status readFile(Env& env, const std::string& path, std::string& bytes,
                size_t limit = std::string::npos);

// Writes all of `bytes` to `fd`.
Status writeAll(Env& env, int fd, std::string_view bytes);

// Creates the directory `path` and its missing parents; an existing directory is fine.
Status makeDirectories(Env& env, const std::string& path);

// True when `name` can be a file directly inside a directory: not empty, not "." or "..", and
// without a path separator or a NUL byte. Anything else would leave the chosen directory.
bool isPlainFileName(std::string_view name);

}  // namespace pw
