// The one implementation of Env: the POSIX system calls, retried when a signal interrupts them.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fs/env.h"

namespace pw {

Status Status::fromErrno(int error, std::string_view what) {
    std::string reason(what);
    reason += ": ";
    reason += std::strerror(error);
    const Code code = error == ENOENT || error == ENOTDIR ? Code::kNotFound : Code::kIoError;
    return Status(code, std::move(reason), error);
}

namespace {

Status failure(const char* call) {
    return Status::fromErrno(errno, call);
}

// Makes a read or write, again when a signal interrupts it; `done` is the count it moved.
template <typename Call>
Status transfer(const char* what, size_t& done, Call call) {
    for (;;) {
        const ssize_t n = call();
        if (n >= 0) {
            done = static_cast<size_t>(n);
            return Status();
        }
        if (errno != EINTR) {
            done = 0;
            return failure(what);
        }
    }
}

DirectoryEntry::Type typeOf(unsigned char type) {
    switch (type) {
        case DT_REG:
            return DirectoryEntry::Type::kRegular;
        case DT_DIR:
            return DirectoryEntry::Type::kDirectory;
        case DT_LNK:
            return DirectoryEntry::Type::kSymlink;
        case DT_UNKNOWN:
            return DirectoryEntry::Type::kUnknown;
        default:
            return DirectoryEntry::Type::kOther;
    }
}

class PosixEnv final : public Env {
  public:
    Status open(int dir, const char* name, int flags, mode_t mode, int& fd) override {
        do {
            fd = ::openat(dir, name, flags | O_CLOEXEC, mode);
        } while (fd < 0 && errno == EINTR);
        return fd >= 0 ? Status() : failure("open");
    }

    Status close(int fd) override {
        // The descriptor is gone whatever close says; EINTR is not retried (Linux frees it).
        return ::close(fd) == 0 || errno == EINTR ? Status() : failure("close");
    }

    Status read(int fd, char* buffer, size_t capacity, size_t& got) override {
        return transfer("read", got, [&] { return ::read(fd, buffer, capacity); });
    }

    Status readAt(int fd, uint64_t offset, char* buffer, size_t capacity, size_t& got) override {
        return transfer("read", got,
                        [&] { return ::pread(fd, buffer, capacity, static_cast<off_t>(offset)); });
    }

    Status write(int fd, const char* bytes, size_t size, size_t& put) override {
        return transfer("write", put, [&] { return ::write(fd, bytes, size); });
    }

    Status seek(int fd, uint64_t offset) override {
        return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0 ? Status() : failure("seek");
    }

    Status truncate(int fd, uint64_t size) override {
        int result;
        do {
            result = ::ftruncate(fd, static_cast<off_t>(size));
        } while (result != 0 && errno == EINTR);
        return result == 0 ? Status() : failure("truncate");
    }

    Status sync(int fd) override {
        int result;
        do {
            result = ::fsync(fd);
        } while (result != 0 && errno == EINTR);
        return result == 0 ? Status() : failure("fsync");
    }

    Status changeMode(int fd, mode_t mode) override {
        return ::fchmod(fd, mode) == 0 ? Status() : failure("chmod");
    }

    Status lock(int fd, int operation) override {
        int result;
        do {
            result = ::flock(fd, operation);
        } while (result != 0 && errno == EINTR);
        return result == 0 ? Status() : failure("lock");
    }

    Status stat(int dir, const char* name, int flags, FileInfo& info) override {
        struct stat st;
        if (::fstatat(dir, name, &st, flags) != 0) {
            return failure("stat");
        }
        info.regular = S_ISREG(st.st_mode);
        info.directory = S_ISDIR(st.st_mode);
        info.symlink = S_ISLNK(st.st_mode);
        info.mode = st.st_mode & 07777;
        info.size = static_cast<uint64_t>(st.st_size);
        info.owner = st.st_uid;
        info.group = st.st_gid;
        info.device = st.st_dev;
        info.inode = st.st_ino;
        info.changedNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
        return Status();
    }

    Status rename(int fromDir, const char* from, int toDir, const char* to,
                  unsigned flags) override {
        int result = flags == 0 ? ::renameat(fromDir, from, toDir, to)
                                : ::renameat2(fromDir, from, toDir, to, flags);
        return result == 0 ? Status() : failure("rename");
    }

    Status link(int fromDir, const char* from, int toDir, const char* to, int flags) override {
        return ::linkat(fromDir, from, toDir, to, flags) == 0 ? Status() : failure("link");
    }

    Status unlink(int dir, const char* name, int flags) override {
        return ::unlinkat(dir, name, flags) == 0 ? Status() : failure("unlink");
    }

    Status makeDirectory(int dir, const char* name, mode_t mode) override {
        return ::mkdirat(dir, name, mode) == 0 ? Status() : failure("mkdir");
    }

    Status list(int dir, std::vector<DirectoryEntry>& entries) override {
        entries.clear();
        // The listing gets a descriptor of its own: closedir closes it, the caller keeps `dir`.
        int own = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* listing = own >= 0 ? ::fdopendir(own) : nullptr;
        if (listing == nullptr) {
            Status status = failure("list");
            if (own >= 0) {
                ::close(own);
            }
            return status;
        }
        errno = 0;
        while (const dirent* item = ::readdir(listing)) {
            const char* name = item->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                continue;
            }
            entries.push_back(DirectoryEntry{name, typeOf(item->d_type)});
        }
        Status status = errno == 0 ? Status() : failure("list");
        ::closedir(listing);
        return status;
    }

    Status listFirst(int dir, size_t atLeast, std::vector<DirectoryEntry>& entries,
                     bool& complete) override {
        entries.clear();
        complete = false;
        const int own = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (own < 0) {
            return failure("list");
        }
        alignas(8) char buffer[32768];
        Status status;
        while (entries.size() < atLeast) {
            const ssize_t got = ::getdents64(own, buffer, sizeof buffer);
            if (got < 0) {
                status = failure("list");
                break;
            }
            if (got == 0) {
                complete = true;
                break;
            }
            for (ssize_t at = 0; at < got;) {
                const auto* item = reinterpret_cast<const struct dirent64*>(buffer + at);
                at += item->d_reclen;
                const char* name = item->d_name;
                if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                    continue;
                }
                entries.push_back(DirectoryEntry{name, typeOf(item->d_type)});
            }
        }
        ::close(own);
        return status;
    }

    long processId() override { return static_cast<long>(::getpid()); }

    bool processExists(long pid) override {
        return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
    }
};

}  // namespace

Env& Env::system() {
    static PosixEnv env;
    return env;
}

}  // namespace pw
