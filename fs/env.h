#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fs/status.h"

namespace pw {

// What a stat of a file tells.
struct FileInfo {
    bool regular = false;
    bool directory = false;
    bool symlink = false;
    mode_t mode = 0;  // permission bits
    uint64_t size = 0;
    uid_t owner = 0;
    gid_t group = 0;
    dev_t device = 0;
    ino_t inode = 0;
    // The last change of the file's bytes or attributes, in nanoseconds (st_ctim).
    int64_t changedNs = 0;
};

// One name of a directory listing, with its type when the file system gives it.
struct DirectoryEntry {
    enum class Type { kUnknown, kRegular, kDirectory, kSymlink, kOther };
    std::string name;
    Type type = Type::kUnknown;
};

// The operating system as every store of the program sees it: each operation is one system
// call, named after it, with a Status instead of errno. The program uses Env::system(); a test
// wraps it (EnvWrapper) to inject a fault at a chosen call, and a benchmark to count the calls.
// File descriptors are the system's; `dir` arguments take kCurrentDirectory for a path.
class Env {
  public:
    static constexpr int kCurrentDirectory = -100;  // AT_FDCWD

    virtual ~Env() = default;

    // The real system calls.
    static Env& system();

    // openat(2): opens `name` relative to `dir` with open(2) `flags`; sets `fd` on success.
    virtual Status open(int dir, const char* name, int flags, mode_t mode, int& fd) = 0;
    virtual Status close(int fd) = 0;
    // One read(2) of at most `capacity` bytes; `got` is 0 at the end of the file.
    virtual Status read(int fd, char* buffer, size_t capacity, size_t& got) = 0;
    // One pread(2) of at most `capacity` bytes at `offset`, the file position left as it was.
    virtual Status readAt(int fd, uint64_t offset, char* buffer, size_t capacity, size_t& got) = 0;
    // One write(2); `put` may be less than `size`.
    virtual Status write(int fd, const char* bytes, size_t size, size_t& put) = 0;
    // lseek(2) to `offset` from the start.
    virtual Status seek(int fd, uint64_t offset) = 0;
    virtual Status truncate(int fd, uint64_t size) = 0;
    virtual Status sync(int fd) = 0;
    virtual Status changeMode(int fd, mode_t mode) = 0;
    // flock(2) with `operation` (LOCK_EX, LOCK_NB, ...).
    virtual Status lock(int fd, int operation) = 0;
    // fstatat(2): with an empty `name` and AT_EMPTY_PATH in `flags`, the open file `dir` itself.
    virtual Status stat(int dir, const char* name, int flags, FileInfo& info) = 0;
    // renameat2(2); `flags` 0 is a plain rename.
    virtual Status rename(int fromDir, const char* from, int toDir, const char* to,
                          unsigned flags) = 0;
    virtual Status link(int fromDir, const char* from, int toDir, const char* to, int flags) = 0;
    virtual Status unlink(int dir, const char* name, int flags) = 0;
    virtual Status makeDirectory(int dir, const char* name, mode_t mode) = 0;
    // Every name of the open directory `dir` but "." and "..", in the file system's order.
    virtual Status list(int dir, std::vector<DirectoryEntry>& entries) = 0;
    // The first names of `dir` (getdents64 until at least `atLeast` names or the end): `complete`
    // is true when they are all of its names.
    virtual Status listFirst(int dir, size_t atLeast, std::vector<DirectoryEntry>& entries,
                             bool& complete) = 0;
    // The process number of this process, and whether process `pid` exists.
    virtual long processId() = 0;
    virtual bool processExists(long pid) = 0;
};

// An Env that passes every call to another one; a test or benchmark overrides the calls it
// wants to watch or break.
class EnvWrapper : public Env {
  public:
    explicit EnvWrapper(Env& target) : m_target(target) {}

    Env& target() const { return m_target; }

    Status open(int dir, const char* name, int flags, mode_t mode, int& fd) override {
        return m_target.open(dir, name, flags, mode, fd);
    }
    Status close(int fd) override { return m_target.close(fd); }
    Status read(int fd, char* buffer, size_t capacity, size_t& got) override {
        return m_target.read(fd, buffer, capacity, got);
    }
    Status readAt(int fd, uint64_t offset, char* buffer, size_t capacity, size_t& got) override {
        return m_target.readAt(fd, offset, buffer, capacity, got);
    }
    Status write(int fd, const char* bytes, size_t size, size_t& put) override {
        return m_target.write(fd, bytes, size, put);
    }
    Status seek(int fd, uint64_t offset) override { return m_target.seek(fd, offset); }
    Status truncate(int fd, uint64_t size) override { return m_target.truncate(fd, size); }
    Status sync(int fd) override { return m_target.sync(fd); }
    Status changeMode(int fd, mode_t mode) override { return m_target.changeMode(fd, mode); }
    Status lock(int fd, int operation) override { return m_target.lock(fd, operation); }
    Status stat(int dir, const char* name, int flags, FileInfo& info) override {
        return m_target.stat(dir, name, flags, info);
    }
    Status rename(int fromDir, const char* from, int toDir, const char* to,
                  unsigned flags) override {
        return m_target.rename(fromDir, from, toDir, to, flags);
    }
    Status link(int fromDir, const char* from, int toDir, const char* to, int flags) override {
        return m_target.link(fromDir, from, toDir, to, flags);
    }
    Status unlink(int dir, const char* name, int flags) override {
        return m_target.unlink(dir, name, flags);
    }
    Status makeDirectory(int dir, const char* name, mode_t mode) override {
        return m_target.makeDirectory(dir, name, mode);
    }
    Status list(int dir, std::vector<DirectoryEntry>& entries) override {
        return m_target.list(dir, entries);
    }
    Status listFirst(int dir, size_t atLeast, std::vector<DirectoryEntry>& entries,
                     bool& complete) override {
        return m_target.listFirst(dir, atLeast, entries, complete);
    }
    long processId() override { return m_target.processId(); }
    bool processExists(long pid) override { return m_target.processExists(pid); }

  private:
    Env& m_target;
};

}  // namespace pw
