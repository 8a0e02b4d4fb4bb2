#include "settings/profile.h"

#include <system_error>

#include "fs/file_lock.h"
#include "fs/work_file.h"

namespace pw {

namespace {

namespace fs = std::filesystem;

// The file a write replaces: the target of a symbolic link rather than the link itself, so
// a settings file kept elsewhere through a link stays where it is.
fs::path replacedFile(const fs::path& file) {
    std::error_code error;
    if (fs::is_symlink(file, error)) {
        const fs::path target = fs::weakly_canonical(file, error);
        if (!error) {
            return target;
        }
    }
    return file;
}

std::string directoryOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path().string() : std::string(".");
}

}  // namespace

IniDocument readProfileDocument(Env& env, const fs::path& file) {
    std::string bytes;
    if (!readFile(env, file.string(), bytes, kMaxProfileBytes).ok()) {
        return IniDocument();
    }
    return IniDocument::parse(bytes);
}

std::string readProfileString(Env& env, const fs::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t limit) {
    return readProfileDocument(env, file).read(section, key, defaultValue, limit);
}

Status writeProfileString(Env& env, const fs::path& file, std::string_view section,
                          std::string_view key, std::string_view value) {
    const ProfileWrite write{std::string(section), std::string(key), std::string(value)};
    return writeProfileStrings(env, file, std::span<const ProfileWrite>(&write, 1));
}

Status writeProfileStrings(Env& env, const fs::path& file, std::span<const ProfileWrite> writes,
                           bool startEmpty) {
    IniDocument check;
    for (const ProfileWrite& write : writes) {
        if (Status status = check.write(write.section, write.key, write.value); !status.ok()) {
            return status;
        }
    }

    const fs::path target = replacedFile(file);
    const std::string name = target.filename().string();
    if (Status status = makeDirectories(env, directoryOf(target)); !status.ok()) {
        return status;
    }
    Directory directory(env, directoryOf(target));
    if (!directory.ok()) {
        return Status::fromErrno(directory.status().sysError(),
                                 "cannot open the folder of " + target.string());
    }
    FileLock lock;
    if (Status status = lock.acquire(directory, name + ".lock"); !status.ok()) {
        return status;
    }

    // Only a missing file starts empty: one that cannot be read is kept as it is.
    std::string before;
    bool exists = true;
    if (Status status = readFile(env, target.string(), before, kMaxProfileBytes); !status.ok()) {
        if (!status.isNotFound()) {
            return Status::ioError("cannot read " + target.string() + ": " + status.reason(),
                                   status.sysError());
        }
        exists = false;
    }
    IniDocument document = startEmpty ? IniDocument() : IniDocument::parse(before);
    for (const ProfileWrite& write : writes) {
        document.write(write.section, write.key, write.value);
    }
    const std::string after = document.serialize();
    if (exists && after == before) {
        return Status();
    }
    Delivery delivery;
    Status status = replaceFile(directory, name, after, Durability::kSynced, delivery);
    if (!status.ok()) {
        return Status::ioError("cannot write " + target.string() + ": " + status.reason(),
                               status.sysError());
    }
    return Status();
}

}  // namespace pw
