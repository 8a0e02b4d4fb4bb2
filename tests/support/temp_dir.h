#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace pw::test {

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
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    // The directory with a final "/".
    std::string path() const { return m_path.string() + "/"; }
    std::string operator/(const std::string& name) const { return path() + name; }

  private:
    std::filesystem::path m_path;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
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
