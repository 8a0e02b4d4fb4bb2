#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "fs/env.h"

namespace pw::bench {

// The real system, counting every call a run makes to it, so the benchmark can set the system
// calls of a run beside those of its floor.
class CountingEnv : public EnvWrapper {
  public:
    enum Call {
        kOpen,
        kClose,
        kRead,
        kReadAt,
        kWrite,
        kSeek,
        kTruncate,
        kSync,
        kChangeMode,
        kLock,
        kStat,
        kRename,
        kLink,
        kUnlink,
        kMakeDirectory,
        kList,
        kProcessId,
        kProcessExists,
        kCallKinds
    };
    static constexpr std::array<std::string_view, kCallKinds> kNames = {
        "open", "close", "read",   "readAt", "write",  "seek",  "truncate", "sync",   "chmod",
        "lock", "stat",  "rename", "link",   "unlink", "mkdir", "list",     "getpid", "kill"};

    CountingEnv() : EnvWrapper(Env::system()) {}

    uint64_t count(Call call) const { return m_counts[call]; }
    uint64_t total() const {
        uint64_t sum = 0;
        for (uint64_t n : m_counts) {
            sum += n;
        }
        return sum;
    }
    void clear() { m_counts.fill(0); }

    Status open(int dir, const char* name, int flags, mode_t mode, int& fd) override {
        ++m_counts[kOpen];
        return target().open(dir, name, flags, mode, fd);
    }
    Status close(int fd) override {
        ++m_counts[kClose];
        return target().close(fd);
    }
    Status read(int fd, char* buffer, size_t capacity, size_t& got) override {
        ++m_counts[kRead];
        return target().read(fd, buffer, capacity, got);
    }
    Status readAt(int fd, uint64_t offset, char* buffer, size_t capacity, size_t& got) override {
        ++m_counts[kReadAt];
        return target().readAt(fd, offset, buffer, capacity, got);
    }
    Status write(int fd, const char* bytes, size_t size, size_t& put) override {
        ++m_counts[kWrite];
        return target().write(fd, bytes, size, put);
    }
    Status seek(int fd, uint64_t offset) override {
        ++m_counts[kSeek];
        return target().seek(fd, offset);
    }
    Status truncate(int fd, uint64_t size) override {
        ++m_counts[kTruncate];
        return target().truncate(fd, size);
    }
    Status sync(int fd) override {
        ++m_counts[kSync];
        return target().sync(fd);
    }
    Status changeMode(int fd, mode_t mode) override {
        ++m_counts[kChangeMode];
        return target().changeMode(fd, mode);
    }
    Status lock(int fd, int operation) override {
        ++m_counts[kLock];
        return target().lock(fd, operation);
    }
    Status stat(int dir, const char* name, int flags, FileInfo& info) override {
        ++m_counts[kStat];
        return target().stat(dir, name, flags, info);
    }
    Status rename(int fromDir, const char* from, int toDir, const char* to,
                  unsigned flags) override {
        ++m_counts[kRename];
        return target().rename(fromDir, from, toDir, to, flags);
    }
    Status link(int fromDir, const char* from, int toDir, const char* to, int flags) override {
        ++m_counts[kLink];
        return target().link(fromDir, from, toDir, to, flags);
    }
    Status unlink(int dir, const char* name, int flags) override {
        ++m_counts[kUnlink];
        return target().unlink(dir, name, flags);
    }
    Status makeDirectory(int dir, const char* name, mode_t mode) override {
        ++m_counts[kMakeDirectory];
        return target().makeDirectory(dir, name, mode);
    }
    Status list(int dir, std::vector<DirectoryEntry>& entries) override {
        ++m_counts[kList];
        return target().list(dir, entries);
    }
    Status listFirst(int dir, size_t atLeast, std::vector<DirectoryEntry>& entries,
                     bool& complete) override {
        ++m_counts[kList];
        return target().listFirst(dir, atLeast, entries, complete);
    }
    long processId() override {
        ++m_counts[kProcessId];
        return target().processId();
    }
    bool processExists(long pid) override {
        ++m_counts[kProcessExists];
        return target().processExists(pid);
    }

  private:
    std::array<uint64_t, kCallKinds> m_counts{};
};

}  // namespace pw::bench
