#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace pw::test {

// Removes `path` and everything below it, read-only folders included; fine when missing.
inline void removeTree(const std::filesystem::path& path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        for (auto it = std::filesystem::recursive_directory_iterator(path, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
            }
        }
    }
    std::filesystem::remove_all(path, ignored);
}

// A directory of its own under the system's temporary directory, removed at the end.
class TempDir {
  public:
    // `inMemory` places it in /dev/shm when there is one, for tests that make thousands.
    explicit TempDir(bool inMemory = false) {
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (inMemory && ::access("/dev/shm", W_OK) == 0) {
            base = "/dev/shm";
        }
        std::string pattern = (base / "pw-test-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() { removeTree(m_path); }
    // The directory with a final "/".
    std::string path() const { return m_path.string() + "/"; }
    std::string operator/(const std::string& name) const { return path() + name; }

  private:
    std::filesystem::path m_path;
};

// Writes `bytes` as the whole of the file `path`, making its folders when missing.
inline void writeFile(const std::string& path, const std::string& bytes) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

// The names of the entries of `dir` (not below it), sorted.
inline std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Every regular file directly inside `dir` (hidden ones too, not links) by name, with its bytes.
inline std::map<std::string, std::string> filesIn(const std::string& dir) {
    std::map<std::string, std::string> files;
    std::error_code ignored;
    for (const auto& item : std::filesystem::directory_iterator(dir, ignored)) {
        if (item.is_regular_file(ignored) && !item.is_symlink(ignored)) {
            files[item.path().filename().string()] = readFile(item.path().string());
        }
    }
    return files;
}

// Every entry below `root`, as paths relative to it ("a", "a/b").
inline std::set<std::string> treeOf(const std::string& root) {
    std::set<std::string> entries;
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
        entries.insert(std::filesystem::relative(item.path(), root).string());
    }
    return entries;
}

// Every file and folder below `dir` by its relative path: a file's bytes and modification time,
// so a file rewritten with the same bytes still differs.
inline std::map<std::string, std::string> folderState(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(dir)) {
        const std::string name = std::filesystem::relative(item.path(), dir).string();
        if (item.is_regular_file()) {
            files[name] = readFile(item.path().string()) + "@" +
                          std::to_string(item.last_write_time().time_since_epoch().count());
        } else {
            files[name] = "folder";
        }
    }
    return files;
}

}  // namespace pw::test
