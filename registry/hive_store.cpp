#include "registry/hive_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "registry/hive_file.h"
#include "registry/registry_api.h"

namespace pw {

namespace {

std::string envOr(const char* name, std::string fallback) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? std::string(value) : fallback;
}

long codeFromErrno(int error) {
    return (error == EACCES || error == EPERM || error == EROFS) ? kErrorAccessDenied
                                                                 : kErrorRegistryIoFailed;
}

// No hive the program writes comes near this; a larger file (or an endless device) is not
// read at all, and never replaced.
constexpr size_t kMaxHiveSize = size_t{64} << 20;

// Reads the whole file; returns 0 or the errno value of the failure (ENOENT: no file).
int readFile(const std::string& path, std::string& out) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    char buffer[65536];
    int error = 0;
    while (true) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = errno;
        }
        if (n <= 0) {
            break;
        }
        out.append(buffer, static_cast<size_t>(n));
        if (out.size() > kMaxHiveSize) {
            error = EFBIG;
            out.clear();
            break;
        }
    }
    ::close(fd);
    return error;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Holds the writers' lock for its lifetime.
class WriterLock {
  public:
    explicit WriterLock(const std::string& path) {
        m_fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_fd < 0) {
            m_error = errno;
            return;
        }
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                m_error = errno;
                return;
            }
        }
    }
    ~WriterLock() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    int error() const { return m_error; }

  private:
    int m_fd = -1;
    int m_error = 0;
};

// Replaces the file at `path` with `bytes` through "<path>.new" and a rename; returns 0 or an
// errno value. The work file has a fixed name because only the lock holder writes it.
int replaceFile(const std::string& path, std::string_view bytes) {
    std::string work = path + ".new";
    int fd = ::open(work.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        int error = errno != 0 ? errno : EIO;
        ::close(fd);
        ::unlink(work.c_str());
        return error;
    }
    if (::close(fd) != 0 || ::rename(work.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(work.c_str());
        return error;
    }
    std::string dir = std::filesystem::path(path).parent_path().string();
    int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return 0;
}

}  // namespace

std::string hivePath() {
    std::string explicitPath = envOr("PAGEWRIGHT_REGISTRY", "");
    if (!explicitPath.empty()) {
        return explicitPath;
    }
    std::string config = envOr("XDG_CONFIG_HOME", "");
    if (config.empty()) {
        config = envOr("HOME", "") + "/.config";
    }
    return config + "/pagewright/registry.reg";
}

Hive HiveStore::load() const {
    std::string text;
    if (readFile(m_path, text) != 0) {
        return Hive();
    }
    return parseHive(text).hive;
}

long HiveStore::update(const std::function<long(Hive& hive, bool& changed)>& change) const {
    std::error_code ignored;
    std::filesystem::path parent = std::filesystem::path(m_path).parent_path();
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, ignored);
    }
    WriterLock lock(m_path);
    if (lock.error() != 0) {
        return codeFromErrno(lock.error());
    }
    std::string text;
    int readError = readFile(m_path, text);
    if (readError != 0 && readError != ENOENT) {
        // Never replace a hive that exists but could not be read.
        return codeFromErrno(readError);
    }
    HiveParse parsed = readError == 0 ? parseHive(text) : HiveParse();
    bool changed = false;
    long code = change(parsed.hive, changed);
    if (code != kErrorSuccess || !changed) {
        return code;
    }
    if (parsed.damaged) {
        std::string keep = m_path + ".damaged";
        ::unlink(keep.c_str());
        if (::link(m_path.c_str(), keep.c_str()) != 0) {
            return codeFromErrno(errno);
        }
    }
    int error = replaceFile(m_path, formatHive(parsed.hive));
    return error == 0 ? kErrorSuccess : codeFromErrno(error);
}

}  // namespace pw
