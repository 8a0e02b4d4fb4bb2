#pragma once

#include <cstdint>
#include <string>

#include "engine/run_settings.h"
#include "fs/env.h"
#include "fs/status.h"

namespace pw {

// What a pages run would do to its destination.
struct DryRunCounts {
    uint64_t created = 0;    // new pages
    uint64_t replaced = 0;   // pages that exist and would change
    uint64_t unchanged = 0;  // pages already as the run would write them
    uint64_t refused = 0;    // pages that could not be written
};

// An empty folder of its own under the temporary folder, removed with the object. It stands for
// a destination a dry run finds missing: a real run would create it, and every page would be new.
class StandInFolder {
  public:
    StandInFolder();
    ~StandInFolder();
    StandInFolder(const StandInFolder&) = delete;
    StandInFolder& operator=(const StandInFolder&) = delete;
    // The folder's path with its final separator.
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

// Does the pages run of `settings` through `env` without changing any file, and counts what it
// would do. The settings must have passed the run's checks; a destination that does not exist
// counts as empty. Fails when the data file or the model cannot be read.
Status dryRunPages(Env& env, RunSettings settings, DryRunCounts& counts);

}  // namespace pw
