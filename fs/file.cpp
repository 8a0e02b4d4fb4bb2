#include "fs/file.h"

#include <fcntl.h>

#include <cerrno>

namespace pw {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        reset();
        m_env = other.m_env;
        m_fd = other.release();
    }
    return *this;
}

int FileHandle::release() {
    int fd = m_fd;
    m_fd = -1;
    return fd;
}

void FileHandle::reset() {
    if (m_fd >= 0) {
        (void)m_env->close(m_fd);
        m_fd = -1;
    }
}

Status openForReading(Env& env, const std::string& path, FileHandle& file) {
    file.reset();
    if (path.empty() || path.find('\0') != std::string::npos) {
        return Status::invalidArgument("no file name");
    }
    int fd = -1;
    Status status = env.open(Env::kCurrentDirectory, path.c_str(), O_RDONLY, 0, fd);
    if (status.ok()) {
        file = FileHandle(env, fd);
    }
    return status;
}

Status readAll(Env& env, int fd, std::string& bytes, size_t limit) {
    bytes.clear();
    FileInfo info;
    if (env.stat(fd, "", AT_EMPTY_PATH, info).ok() && info.regular && info.size > 0 &&
        info.size <= limit) {
        bytes.reserve(static_cast<size_t>(info.size));
    }
    char chunk[65536];
    for (;;) {
        size_t got = 0;
        Status status = env.read(fd, chunk, sizeof chunk, got);
        if (!status.ok()) {
            bytes.clear();
            return status;
        }
        if (got == 0) {
            return Status();
        }
        if (got > limit - bytes.size()) {
            bytes.clear();
            return Status::ioError("file too large", EFBIG);
        }
        bytes.append(chunk, got);
    }
}

Status readSized(Env& env, int fd, uint64_t expected, std::string& buffer, std::string_view& bytes,
                 size_t limit) {
    bytes = {};
    const size_t room = expected < limit ? static_cast<size_t>(expected) + 1 : limit;
    if (buffer.size() < room) {
        buffer.resize(room);
    }
    size_t got = 0;
    for (;;) {
        if (got == buffer.size()) {
            if (got > limit) {
                return Status::ioError("file too large", EFBIG);
            }
            buffer.resize(got * 2 > got ? got * 2 : got + 1);
        }
        size_t n = 0;
        Status status = env.read(fd, buffer.data() + got, buffer.size() - got, n);
        if (!status.ok()) {
            return status;
        }
        got += n;
        if (n == 0 || (got == expected && got < buffer.size())) {
            break;
        }
    }
    if (got > limit) {
        return Status::ioError("file too large", EFBIG);
    }
    bytes = std::string_view(buffer.data(), got);
    return Status();
}

Status readFile(Env& env, const std::string& path, std::string& bytes, size_t limit) {
    bytes.clear();
    FileHandle file;
    Status status = openForReading(env, path, file);
    return status.ok() ? readAll(env, file.fd(), bytes, limit) : status;
}

Status writeAll(Env& env, int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        size_t put = 0;
        Status status = env.write(fd, bytes.data(), bytes.size(), put);
        if (!status.ok()) {
            return status;
        }
        if (put == 0) {
            return Status::ioError("write: nothing written", EIO);
        }
        bytes.remove_prefix(put);
    }
    return Status();
}

Status makeDirectories(Env& env, const std::string& path) {
    if (path.empty()) {
        return Status::invalidArgument("no directory name");
    }
    FileInfo info;
    if (env.stat(Env::kCurrentDirectory, path.c_str(), 0, info).ok()) {
        return info.directory ? Status() : Status::ioError(path + " is not a directory", ENOTDIR);
    }
    // Each missing level from the top down; one made meanwhile by another process is fine.
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string level = path.substr(0, end);
        Status status = env.makeDirectory(Env::kCurrentDirectory, level.c_str(), 0777);
        if (!status.ok() && status.sysError() != EEXIST) {
            return Status::fromErrno(status.sysError(), "cannot create " + level);
        }
        if (end == std::string::npos) {
            break;
        }
    }
    if (!env.stat(Env::kCurrentDirectory, path.c_str(), 0, info).ok() || !info.directory) {
        return Status::ioError("cannot create " + path, ENOTDIR);
    }
    return Status();
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

}  // namespace pw
