#pragma once

#include <filesystem>

#include "settings/settings_status.h"

namespace pw {

// An exclusive advisory lock held on a lock file for the object's lifetime. The lock file is
// created when missing and never removed: removing it would let two writers lock two
// different files of the same name.
class FileLock {
  public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Blocks until this process holds the lock on `lockFile`.
    SettingsStatus acquire(const std::filesystem::path& lockFile);

  private:
#if defined(_WIN32)
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

}  // namespace pw
