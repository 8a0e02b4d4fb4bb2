#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "registry/hive_registry.h"

namespace pw::test {

// A fresh directory under the system's temporary directory, removed with the object.
class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pw-registry-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

inline std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

inline void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Passes every call to a HiveRegistry and counts them, so a test can tell whether the
// registry was touched at all.
class CountingRegistry : public RegistryApi {
  public:
    explicit CountingRegistry(std::string hive) : m_inner(std::move(hive)) {}

    long regOpenKeyEx(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                      RegKey* result) override {
        ++calls;
        ++opens;
        return m_inner.regOpenKeyEx(key, subKey, options, access, result);
    }
    long regCreateKeyEx(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                        RegKey* result, std::uint32_t* disposition) override {
        ++calls;
        return m_inner.regCreateKeyEx(key, subKey, options, access, result, disposition);
    }
    long regQueryValueEx(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* size) override {
        ++calls;
        ++queries;
        return m_inner.regQueryValueEx(key, name, type, data, size);
    }
    long regSetValueEx(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                       std::uint32_t size) override {
        ++calls;
        return m_inner.regSetValueEx(key, name, type, data, size);
    }
    long regDeleteKey(RegKey key, const char* subKey) override {
        ++calls;
        return m_inner.regDeleteKey(key, subKey);
    }
    long regDeleteValue(RegKey key, const char* name) override {
        ++calls;
        return m_inner.regDeleteValue(key, name);
    }
    long regEnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                      char* className, std::uint32_t* classSize) override {
        ++calls;
        return m_inner.regEnumKeyEx(key, index, name, nameSize, className, classSize);
    }
    long regEnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override {
        ++calls;
        return m_inner.regEnumValue(key, index, name, nameSize, type, data, dataSize);
    }
    long regQueryInfoKey(RegKey key, char* className, std::uint32_t* classSize,
                         std::uint32_t* subKeys, std::uint32_t* maxSubKeyLength,
                         std::uint32_t* maxClassLength, std::uint32_t* values,
                         std::uint32_t* maxValueNameLength,
                         std::uint32_t* maxValueLength) override {
        ++calls;
        return m_inner.regQueryInfoKey(key, className, classSize, subKeys, maxSubKeyLength,
                                       maxClassLength, values, maxValueNameLength, maxValueLength);
    }
    long regCloseKey(RegKey key) override {
        ++calls;
        ++closes;
        return m_inner.regCloseKey(key);
    }

    HiveRegistry& inner() { return m_inner; }

    int calls = 0;
    int opens = 0;
    int queries = 0;
    int closes = 0;

  private:
    HiveRegistry m_inner;
};

}  // namespace pw::test
