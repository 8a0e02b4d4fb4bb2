#include "fs/work_file.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstring>

namespace pw {

namespace {

// True when some open file holds the lock of the regular file `name` of `directory`.
bool lockedElsewhere(const Directory& directory, const std::string& name) {
    Env& env = directory.env();
    int fd = -1;
    if (!env.open(directory.fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0, fd).ok()) {
        return false;
    }
    FileHandle file(env, fd);
    return !env.lock(fd, LOCK_EX | LOCK_NB).ok();
}

// True when the file `name` of `directory` holds exactly `bytes`.
bool sameContent(const Directory& directory, const std::string& name, const Entry& entry,
                 std::string_view bytes) {
    if (!entry.exists || !entry.regular || entry.size != bytes.size()) {
        return false;
    }
    FileHandle file;
    if (!directory.openForReading(name, file).ok()) {
        return false;
    }
    Env& env = directory.env();
    char chunk[65536];
    size_t offset = 0;
    for (;;) {
        size_t got = 0;
        if (!env.read(file.fd(), chunk, sizeof chunk, got).ok()) {
            return false;
        }
        if (got == 0) {
            return offset == bytes.size();
        }
        if (offset + got > bytes.size() || std::memcmp(chunk, bytes.data() + offset, got) != 0) {
            return false;
        }
        offset += got;
    }
}

}  // namespace

Status WorkFile::open() {
    discard();
    if (!m_directory.ok()) {
        return m_directory.status();
    }
    m_directory.removeStaleWorkFiles();
    // The work file is created anew, never opened through whatever a name already holds. Only
    // this process makes names with its number: one that exists is either another work file
    // this process holds locked (the next slot is used) or was left by a killed process that
    // had the same number (it is removed).
    Env& env = m_directory.env();
    const int dir = m_directory.fd();
    for (int slot = 1; slot <= kWorkSlots; ++slot) {
        std::string name = m_directory.workFileStem();
        if (slot > 1) {
            name += '-';
            name += std::to_string(slot);
        }
        name += kWorkSuffix;
        for (int attempt = 0; attempt < 2; ++attempt) {
            int fd = -1;
            Status status =
                env.open(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666, fd);
            if (status.ok()) {
                (void)env.lock(fd, LOCK_EX | LOCK_NB);
                m_handle = FileHandle(env, fd);
                m_name = std::move(name);
                return Status();
            }
            if (status.sysError() != EEXIST) {
                return Status::fromErrno(status.sysError(), "cannot create the work file");
            }
            if (lockedElsewhere(m_directory, name)) {
                break;
            }
            (void)env.unlink(dir, name.c_str(), 0);
        }
    }
    return Status::ioError("work file in use");
}

Status WorkFile::write(std::string_view bytes) {
    if (!m_handle.valid()) {
        return Status::ioError("work file not open");
    }
    return writeAll(m_directory.env(), m_handle.fd(), bytes);
}

Status WorkFile::deliver(const std::string& name, const Entry& previous) {
    if (!m_handle.valid()) {
        return Status::ioError("work file not open");
    }
    if (!isPlainFileName(name)) {
        return Status::invalidArgument("the name would leave the directory");
    }
    Env& env = m_directory.env();
    if (previous.exists && previous.regular) {
        (void)env.changeMode(m_handle.fd(), previous.mode);
    }
    if (m_durability == Durability::kSynced) {
        if (Status status = env.sync(m_handle.fd()); !status.ok()) {
            discard();
            return status;
        }
    }
    Status status = env.rename(m_directory.fd(), m_name.c_str(), m_directory.fd(), name.c_str(), 0);
    if (!status.ok()) {
        Status failed = Status::fromErrno(status.sysError(), "cannot replace the file");
        discard();
        return failed;
    }
    m_handle.reset();
    m_name.clear();
    if (m_durability == Durability::kSynced) {
        (void)env.sync(m_directory.fd());
    }
    return Status();
}

void WorkFile::discard() {
    if (m_handle.valid()) {
        (void)m_directory.env().unlink(m_directory.fd(), m_name.c_str(), 0);
        m_handle.reset();
        m_name.clear();
    }
}

Status replaceFile(const Directory& directory, const std::string& name, std::string_view bytes,
                   Durability durability, Delivery& delivery) {
    delivery = Delivery::kWritten;
    if (!isPlainFileName(name)) {
        return Status::invalidArgument("the name would leave the directory");
    }
    Entry entry = directory.entry(name);
    if (sameContent(directory, name, entry, bytes)) {
        delivery = Delivery::kUnchanged;
        return Status();
    }
    if (entry.exists && !entry.writable) {
        return Status::ioError("read-only file", EACCES);
    }
    WorkFile work(directory, durability);
    Status status = work.open();
    if (status.ok()) {
        status = work.write(bytes);
    }
    if (status.ok()) {
        status = work.deliver(name, entry);
    }
    return status;
}

Status copyFileInto(const std::string& from, const Directory& directory, const std::string& name,
                    Delivery& delivery) {
    delivery = Delivery::kWritten;
    std::string bytes;
    Status status = readFile(directory.env(), from, bytes);
    if (!status.ok()) {
        return status.sysError() != 0 ? Status::fromErrno(status.sysError(), "cannot read " + from)
                                      : status;
    }
    return replaceFile(directory, name, bytes, Durability::kAtomic, delivery);
}

}  // namespace pw
