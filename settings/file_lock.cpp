#include "settings/file_lock.h"

#include <cerrno>
#include <cstring>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace pw {

#if defined(_WIN32)

FileLock::~FileLock() {
    if (m_handle != nullptr) {
        OVERLAPPED overlapped = {};
        UnlockFileEx(static_cast<HANDLE>(m_handle), 0, MAXDWORD, MAXDWORD, &overlapped);
        CloseHandle(static_cast<HANDLE>(m_handle));
    }
}

SettingsStatus FileLock::acquire(const std::filesystem::path& lockFile) {
    HANDLE handle = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return SettingsStatus::ioError("cannot open lock file " + lockFile.string());
    }
    OVERLAPPED overlapped = {};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &overlapped)) {
        CloseHandle(handle);
        return SettingsStatus::ioError("cannot lock " + lockFile.string());
    }
    m_handle = handle;
    return SettingsStatus::ok();
}

#else

FileLock::~FileLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // closing the descriptor releases the lock
    }
}

SettingsStatus FileLock::acquire(const std::filesystem::path& lockFile) {
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return SettingsStatus::ioError("cannot open lock file " + lockFile.string() + ": " +
                                       std::strerror(errno));
    }
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        return SettingsStatus::ioError("cannot lock " + lockFile.string() + ": " +
                                       std::strerror(error));
    }
    m_fd = fd;
    return SettingsStatus::ok();
}

#endif

}  // namespace pw
