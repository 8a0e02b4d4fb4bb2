#include "fs/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>

namespace pw {

Status FileLock::acquire(const Directory& directory, const std::string& name) {
    m_handle.reset();
    if (!directory.ok()) {
        return directory.status();
    }
    if (!isPlainFileName(name)) {
        return Status::invalidArgument("the lock name would leave the directory");
    }
    Env& env = directory.env();
    int fd = -1;
    Status status = env.open(directory.fd(), name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW, 0666, fd);
    if (!status.ok()) {
        return Status::fromErrno(status.sysError(),
                                 "cannot open the lock " + directory.pathOf(name));
    }
    FileHandle handle(env, fd);
    status = env.lock(fd, LOCK_EX);
    if (!status.ok()) {
        return Status::fromErrno(status.sysError(), "cannot lock " + directory.pathOf(name));
    }
    m_handle = std::move(handle);
    return Status();
}

}  // namespace pw
