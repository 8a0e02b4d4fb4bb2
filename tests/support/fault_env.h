#pragma once

#include <cerrno>

#include "fs/env.h"

namespace pw::test {

// The real system with faults a test arms: a disk that fills up after a number of bytes
// written, and renames that fail as a read-only file system would refuse them.
class FaultEnv : public EnvWrapper {
  public:
    FaultEnv() : EnvWrapper(Env::system()) {}

    // Writes fail with ENOSPC once `bytes` more bytes have been written; negative: never.
    void failWritesAfter(long long bytes) { m_writeBudget = bytes; }
    void failRenames(bool fail) { m_failRenames = fail; }

    Status write(int fd, const char* bytes, size_t size, size_t& put) override {
        if (m_writeBudget >= 0 && static_cast<long long>(size) > m_writeBudget) {
            // The part that fits lands, as on a real disk, then the write fails.
            size_t part = static_cast<size_t>(m_writeBudget);
            m_writeBudget = 0;
            size_t ignored = 0;
            if (part > 0) {
                (void)target().write(fd, bytes, part, ignored);
            }
            put = 0;
            return Status::fromErrno(ENOSPC, "write");
        }
        Status status = target().write(fd, bytes, size, put);
        if (m_writeBudget >= 0) {
            m_writeBudget -= static_cast<long long>(put);
        }
        return status;
    }

    Status rename(int fromDir, const char* from, int toDir, const char* to,
                  unsigned flags) override {
        if (m_failRenames) {
            return Status::fromErrno(EROFS, "rename");
        }
        return target().rename(fromDir, from, toDir, to, flags);
    }

  private:
    long long m_writeBudget = -1;
    bool m_failRenames = false;
};

}  // namespace pw::test
