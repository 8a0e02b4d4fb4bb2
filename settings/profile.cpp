#include "settings/profile.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <system_error>

#include "settings/file_lock.h"

namespace pw {

namespace {

namespace fs = std::filesystem;

struct FileBytes {
    bool exists = false;
    bool complete = true;  // false when the file is larger than kMaxProfileBytes
    std::string bytes;
};

FileBytes readFileBytes(const fs::path& file) {
    FileBytes result;
    std::FILE* in = std::fopen(file.string().c_str(), "rb");
    if (in == nullptr) {
        return result;
    }
    result.exists = true;
    char buffer[65536];
    for (;;) {
        const std::size_t room = kMaxProfileBytes - result.bytes.size();
        const std::size_t got = std::fread(buffer, 1, std::min(sizeof buffer, room), in);
        result.bytes.append(buffer, got);
        if (got == 0) {
            break;
        }
        if (result.bytes.size() == kMaxProfileBytes) {
            result.complete = std::fgetc(in) == EOF;
            break;
        }
    }
    std::fclose(in);
    return result;
}

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

std::string temporaryName(const fs::path& file) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    return "." + file.filename().string() + ".tmp-" + std::to_string(seed) + "-" +
           std::to_string(counter.fetch_add(1));
}

// Removes the temporary files that writers killed mid-write left beside `file`. Only the
// holder of the writers' lock creates one, so under the lock every one found is stale.
void removeStaleTemporaries(const fs::path& file) {
    const std::string stem = "." + file.filename().string() + ".tmp-";
    std::error_code error;
    const fs::path directory = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().rfind(stem, 0) == 0) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

// Writes `bytes` to a new temporary file beside `file` and renames it over `file`.
SettingsStatus replaceFile(const fs::path& file, const std::string& bytes) {
    removeStaleTemporaries(file);
    const fs::path directory = file.parent_path();
    fs::path temporary;
    std::FILE* out = nullptr;
    for (int attempt = 0; attempt < 100 && out == nullptr; ++attempt) {
        temporary = directory / temporaryName(file);
        out = std::fopen(temporary.string().c_str(), "wbx");
    }
    if (out == nullptr) {
        return SettingsStatus::ioError("cannot create a temporary file beside " + file.string());
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = std::fclose(out) == 0;
    std::error_code error;
    if (written && closed) {
        const fs::file_status status = fs::status(file, error);
        if (!error && fs::exists(status)) {
            fs::permissions(temporary, status.permissions(), error);
        }
        error.clear();
        fs::rename(temporary, file, error);
        if (!error) {
            return SettingsStatus::ok();
        }
    }
    fs::remove(temporary, error);
    return SettingsStatus::ioError("cannot write " + file.string());
}

}  // namespace

IniDocument readProfileDocument(const fs::path& file) {
    return IniDocument::parse(readFileBytes(file).bytes);
}

std::string readProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t limit) {
    return readProfileDocument(file).read(section, key, defaultValue, limit);
}

SettingsStatus writeProfileString(const fs::path& file, std::string_view section,
                                  std::string_view key, std::string_view value) {
    const ProfileWrite write{std::string(section), std::string(key), std::string(value)};
    return writeProfileStrings(file, std::span<const ProfileWrite>(&write, 1));
}

SettingsStatus writeProfileStrings(const fs::path& file, std::span<const ProfileWrite> writes,
                                   bool startEmpty) {
    IniDocument check;
    for (const ProfileWrite& write : writes) {
        SettingsStatus status = check.write(write.section, write.key, write.value);
        if (!status.isOk()) {
            return status;
        }
    }

    const fs::path target = replacedFile(file);
    std::error_code error;
    if (!target.parent_path().empty()) {
        fs::create_directories(target.parent_path(), error);
    }
    FileLock lock;
    fs::path lockFile = target;
    lockFile += ".lock";
    if (SettingsStatus status = lock.acquire(lockFile); !status.isOk()) {
        return status;
    }

    const FileBytes before = readFileBytes(target);
    if (!before.complete) {
        return SettingsStatus::ioError("settings file too large to rewrite: " + target.string());
    }
    IniDocument document = startEmpty ? IniDocument() : IniDocument::parse(before.bytes);
    for (const ProfileWrite& write : writes) {
        document.write(write.section, write.key, write.value);
    }
    std::string after = document.serialize();
    if (before.exists && after == before.bytes) {
        return SettingsStatus::ok();
    }
    return replaceFile(target, after);
}

}  // namespace pw
