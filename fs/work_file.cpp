#include "fs/work_file.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pw {

namespace {

// Pieces of a streamed version are gathered up to this size before they go out; a piece at
// least kDirectSize long goes out at once.
constexpr size_t kGatherSize = 4u << 20;
constexpr size_t kDirectSize = 64u << 10;
constexpr size_t kChunkSize = 64u << 10;

// True when the open file `file`, of the size `entry` gives, holds exactly `bytes`. A link is
// never the same: it is replaced by a plain file.
bool sameContent(Env& env, const FileHandle& file, const Entry& entry, std::string_view bytes) {
    if (!file.valid() || !entry.regular || entry.symlink || entry.size != bytes.size()) {
        return false;
    }
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
        // A read that stops short at the size the stat gave is the end of the file.
        if (offset == bytes.size() && got < sizeof chunk) {
            return true;
        }
    }
}

}  // namespace

Status WorkFile::open(const std::string& name, const Entry& previous) {
    discard();
    if (!m_directory.ok()) {
        return m_directory.status();
    }
    if (!isPlainFileName(name)) {
        return Status::invalidArgument("the name would leave the directory");
    }
    m_directory.prepareWorkFiles();
    m_target = name;
    m_replacesTaken = !previous.assumedFree;
    Env& env = m_directory.env();
    if (!previous.exists && m_directory.linksUnnamedFiles()) {
        int fd = -1;
        Status status = env.open(m_directory.fd(), ".", O_TMPFILE | O_WRONLY, 0666, fd);
        if (!status.ok()) {
            return Status::fromErrno(status.sysError(), "cannot create the work file");
        }
        m_handle = FileHandle(env, fd);
        return Status();
    }
    Status status = openNamed();
    if (status.ok() && previous.keepsMode() &&
        previous.mode != m_directory.creationMode(m_handle.fd())) {
        (void)env.changeMode(m_handle.fd(), previous.mode);
    }
    return status;
}

// Creates a work file anew, never through whatever a name already holds. A name of this
// process that exists is in use by another of its directories or was left by a killed process
// that had the same number and could not be removed yet: the next slot is taken.
Status WorkFile::openNamed() {
    Env& env = m_directory.env();
    for (;;) {
        const int slot = m_directory.takeWorkSlot();
        if (slot == 0) {
            return Status::ioError("work file in use");
        }
        const std::string name = m_directory.workFileName(slot);
        int fd = -1;
        Status status = env.open(m_directory.fd(), name.c_str(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666, fd);
        if (status.ok()) {
            m_handle = FileHandle(env, fd);
            m_slot = slot;
            return Status();
        }
        if (status.sysError() != EEXIST) {
            m_directory.releaseWorkSlot(slot);
            return Status::fromErrno(status.sysError(), "cannot create the work file");
        }
        // The slot stays taken: its name belongs to someone else.
    }
}

Status WorkFile::write(std::string_view bytes) {
    if (!m_handle.valid()) {
        return Status::ioError("work file not open");
    }
    return writeAll(m_directory.env(), m_handle.fd(), bytes);
}

Status WorkFile::deliver() {
    if (!m_handle.valid()) {
        return Status::ioError("work file not open");
    }
    Env& env = m_directory.env();
    const int dir = m_directory.fd();
    if (m_durability == Durability::kSynced) {
        if (Status status = env.sync(m_handle.fd()); !status.ok()) {
            discard();
            return status;
        }
    }
    if (m_slot == 0) {
        const std::string self = procPathOf(m_handle.fd());
        Status status = env.link(Env::kCurrentDirectory, self.c_str(), dir, m_target.c_str(),
                                 AT_SYMLINK_FOLLOW);
        if (!status.ok() && (status.sysError() != EEXIST || !m_replacesTaken)) {
            Status failed = Status::fromErrno(status.sysError(), "cannot write the file");
            discard();
            return failed;
        }
        if (!status.ok()) {
            // The name was taken meanwhile: the new version replaces it, as a rename would.
            for (;;) {
                m_slot = m_directory.takeWorkSlot();
                if (m_slot == 0) {
                    discard();
                    return Status::ioError("work file in use");
                }
                const std::string work = m_directory.workFileName(m_slot);
                status = env.link(Env::kCurrentDirectory, self.c_str(), dir, work.c_str(),
                                  AT_SYMLINK_FOLLOW);
                if (status.ok()) {
                    break;
                }
                if (status.sysError() != EEXIST) {
                    Status failed = Status::fromErrno(status.sysError(), "cannot write the file");
                    m_directory.releaseWorkSlot(m_slot);
                    m_slot = 0;
                    discard();
                    return failed;
                }
            }
        }
    }
    if (m_slot != 0) {
        const std::string work = m_directory.workFileName(m_slot);
        Status status = env.rename(dir, work.c_str(), dir, m_target.c_str(), 0);
        if (!status.ok()) {
            Status failed = Status::fromErrno(status.sysError(), "cannot replace the file");
            discard();
            return failed;
        }
    }
    release();
    if (m_durability == Durability::kSynced) {
        (void)env.sync(dir);
    }
    return Status();
}

void WorkFile::release() {
    if (m_slot != 0) {
        m_directory.releaseWorkSlot(m_slot);
        m_slot = 0;
    }
    m_handle.reset();
    m_target.clear();
}

void WorkFile::discard() {
    if (m_slot != 0) {
        const std::string work = m_directory.workFileName(m_slot);
        (void)m_directory.env().unlink(m_directory.fd(), work.c_str(), 0);
    }
    release();
}

StreamedVersion::StreamedVersion(const Directory& directory, const std::string& name,
                                 const Entry& previous, const FileHandle& old,
                                 Durability durability)
    : m_directory(directory),
      m_name(name),
      m_previous(previous),
      m_old(old.fd()),
      m_comparing(old.valid() && previous.regular && !previous.symlink),
      m_work(directory, durability) {}

Status StreamedVersion::write(std::string_view bytes) {
    if (bytes.size() >= kDirectSize) {
        flush();
        put(bytes);
    } else {
        m_pending += bytes;
        if (m_pending.size() >= kGatherSize) {
            flush();
        }
    }
    return m_status;
}

Status StreamedVersion::finish(Delivery& delivery) {
    flush();
    delivery = Delivery::kWritten;
    if (!m_status.ok()) {
        return m_status;
    }
    if (m_comparing && m_matched == m_previous.size) {
        char extra;
        size_t got = 1;
        if (m_directory.env().readAt(m_old, m_matched, &extra, 1, got).ok() && got == 0) {
            delivery = Delivery::kUnchanged;
            return Status();
        }
    }
    if (m_comparing || !m_work.isOpen()) {
        diverge();
    }
    if (m_status.ok()) {
        m_status = m_work.deliver();
    }
    return m_status;
}

void StreamedVersion::flush() {
    put(m_pending);
    m_pending.clear();
}

void StreamedVersion::put(std::string_view bytes) {
    if (bytes.empty() || !m_status.ok()) {
        return;
    }
    if (m_comparing) {
        if (matchesOld(bytes)) {
            m_matched += bytes.size();
            return;
        }
        diverge();
    } else if (!m_work.isOpen()) {
        diverge();
    }
    if (m_status.ok()) {
        m_status = m_work.write(bytes);
    }
}

bool StreamedVersion::matchesOld(std::string_view bytes) {
    m_chunk.resize(kChunkSize);
    uint64_t at = m_matched;
    while (!bytes.empty()) {
        size_t got = 0;
        const size_t want = std::min(bytes.size(), m_chunk.size());
        if (!m_directory.env().readAt(m_old, at, m_chunk.data(), want, got).ok() || got == 0 ||
            std::memcmp(m_chunk.data(), bytes.data(), got) != 0) {
            return false;
        }
        bytes.remove_prefix(got);
        at += got;
    }
    return true;
}

// Opens the work file; when the new version differs from the old file only now, the work file
// first gets the part that was equal.
void StreamedVersion::diverge() {
    const bool copy = m_comparing;
    m_comparing = false;
    if (m_previous.exists && !m_previous.writable) {
        m_status = Status::ioError("read-only file", EACCES);
        return;
    }
    m_status = m_work.open(m_name, m_previous);
    if (!copy) {
        return;
    }
    m_chunk.resize(kChunkSize);
    for (uint64_t at = 0; m_status.ok() && at < m_matched;) {
        size_t got = 0;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(m_chunk.size(), m_matched - at));
        m_status = m_directory.env().readAt(m_old, at, m_chunk.data(), want, got);
        if (m_status.ok() && got == 0) {
            m_status = Status::ioError("the file changed while it was read", EIO);
        }
        if (m_status.ok()) {
            m_status = m_work.write(std::string_view(m_chunk.data(), got));
        }
        at += got;
    }
}

Status writeVersion(const Directory& directory, const std::string& name, std::string_view bytes,
                    const Entry& previous, Durability durability) {
    if (previous.exists && !previous.writable) {
        return Status::ioError("read-only file", EACCES);
    }
    WorkFile work(directory, durability);
    Status status = work.open(name, previous);
    if (status.ok()) {
        status = work.write(bytes);
    }
    if (status.ok()) {
        status = work.deliver();
    }
    return status;
}

Status replaceFile(const Directory& directory, const std::string& name, std::string_view bytes,
                   Durability durability, Delivery& delivery) {
    delivery = Delivery::kWritten;
    if (!isPlainFileName(name)) {
        return Status::invalidArgument("the name would leave the directory");
    }
    FileHandle file;
    Entry entry;
    // A file that cannot be read is not the same: it is replaced, if it may be.
    (void)directory.openExisting(name, file, entry);
    if (sameContent(directory.env(), file, entry, bytes)) {
        delivery = Delivery::kUnchanged;
        return Status();
    }
    file.reset();
    return writeVersion(directory, name, bytes, entry, durability);
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
