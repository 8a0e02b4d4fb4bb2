#pragma once

#include <functional>
#include <string>

#include "fs/env.h"
#include "registry/hive.h"

namespace pw {

// The hive file this process uses: $PAGEWRIGHT_REGISTRY when set and not empty, else
// $XDG_CONFIG_HOME/pagewright/registry.reg, XDG_CONFIG_HOME defaulting to ~/.config.
std::string hivePath();

// One hive file on disk. Readers take no lock: every write replaces the whole file by a rename,
// synced, so a reader sees the old or the new file, never a torn one, and a change survives a
// power loss once written. Writers serialise on an advisory lock held on "<path>.lock" for the
// whole read-change-write, so no change is lost.
class HiveStore {
  public:
    HiveStore(Env& env, std::string path) : m_env(env), m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    // The hive as the file holds it now. A missing or unreadable file is an empty hive; a
    // damaged one keeps whatever could be read.
    Hive load() const;

    // Applies `change` to the current hive under the writers' lock and writes the result when
    // `change` returned kErrorSuccess and set its flag. Returns `change`'s code, or the code
    // of the failed write (kErrorAccessDenied when the file system refuses or the file may not
    // be written by this user, else kErrorRegistryIoFailed). A hive that exists but cannot be
    // read is never replaced. A damaged file is kept as "<path>.damaged" before it is replaced,
    // so nothing unreadable is thrown away unseen.
    long update(const std::function<long(Hive& hive, bool& changed)>& change) const;

  private:
    Env& m_env;
    std::string m_path;
};

}  // namespace pw
