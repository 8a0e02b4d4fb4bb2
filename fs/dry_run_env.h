#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "fs/env.h"

namespace pw {

// The system as a dry run sees it: everything is read as it is, nothing is changed. A file
// opened for writing is the null device, so what a run writes is made and dropped; renames,
// links, removals, new folders, modes and truncations succeed without touching anything. The
// pages a run delivers are counted, new or replacing one that exists, so a dry run can say
// what a real one would do.
class DryRunEnv : public EnvWrapper {
  public:
    explicit DryRunEnv(Env& target) : EnvWrapper(target) {}

    // Pages (".htm" files) a real run would have created, or replaced.
    uint64_t pagesCreated() const { return m_created; }
    uint64_t pagesReplaced() const { return m_replaced; }

    Status open(int dir, const char* name, int flags, mode_t mode, int& fd) override;
    Status rename(int fromDir, const char* from, int toDir, const char* to,
                  unsigned flags) override;
    Status link(int fromDir, const char* from, int toDir, const char* to, int flags) override;
    Status unlink(int, const char*, int) override { return Status(); }
    Status makeDirectory(int, const char*, mode_t) override { return Status(); }
    Status changeMode(int, mode_t) override { return Status(); }
    Status truncate(int, uint64_t) override { return Status(); }

  private:
    // Counts a file delivered under `name` in `dir`.
    void delivered(int dir, const char* name);

    uint64_t m_created = 0;
    uint64_t m_replaced = 0;
    // The pages this run has already delivered once: a second delivery replaces the first.
    std::set<std::pair<int, std::string>> m_delivered;
};

}  // namespace pw
