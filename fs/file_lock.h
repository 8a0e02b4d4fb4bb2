#pragma once

#include <string>

#include "fs/directory.h"
#include "fs/file.h"

namespace pw {

// An exclusive advisory lock on a lock file, held for the object's lifetime and released by the
// system when the process ends, however it ends. The lock file is created when missing and never
// removed: removing it would let two writers lock two different files of the same name.
class FileLock {
  public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Blocks until this process holds the lock on the file `name` of `directory`.
    Status acquire(const Directory& directory, const std::string& name);

  private:
    FileHandle m_handle;
};

}  // namespace pw
