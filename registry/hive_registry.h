#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "fs/env.h"
#include "registry/hive.h"
#include "registry/registry_api.h"

namespace pw {

// The registry functions over a hive file (see HiveStore). A handle names a key by its path,
// so a change another process makes to the file is seen by the next call; a handle whose key
// has been deleted meanwhile gives kErrorKeyDeleted. Handles carry their access rights: a
// read-only handle cannot write (kErrorAccessDenied). Thread-safe.
class HiveRegistry : public RegistryApi {
  public:
    // Uses the hive at `path` through `env`; an empty path means hivePath() as it is at each
    // opening of a predefined root.
    explicit HiveRegistry(std::string path = {}, Env& env = Env::system())
        : m_env(env), m_fixedPath(std::move(path)) {}

    long regOpenKeyEx(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                      RegKey* result) override;
    long regCreateKeyEx(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                        RegKey* result, std::uint32_t* disposition) override;
    long regQueryValueEx(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* size) override;
    long regSetValueEx(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                       std::uint32_t size) override;
    long regDeleteKey(RegKey key, const char* subKey) override;
    long regDeleteValue(RegKey key, const char* name) override;
    long regEnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                      char* className, std::uint32_t* classSize) override;
    long regEnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override;
    long regQueryInfoKey(RegKey key, char* className, std::uint32_t* classSize,
                         std::uint32_t* subKeys, std::uint32_t* maxSubKeyLength,
                         std::uint32_t* maxClassLength, std::uint32_t* values,
                         std::uint32_t* maxValueNameLength, std::uint32_t* maxValueLength) override;
    long regCloseKey(RegKey key) override;

    // Number of handles currently open (predefined roots not counted).
    size_t openHandleCount() const;

  private:
    struct Handle {
        std::string hive;
        int root = 0;
        std::vector<std::string> path;
        std::uint32_t access = 0;
    };

    bool resolve(RegKey key, Handle& handle) const;
    // Resolves `key`, checks that it grants `access` and loads its hive into `hive`, with
    // `current` at the key; otherwise the error code that says why not.
    long readKey(RegKey key, std::uint32_t access, Hive& hive, const HiveKey*& current) const;
    RegKey addHandle(Handle handle);

    Env& m_env;
    std::string m_fixedPath;
    mutable std::mutex m_mutex;
    std::map<RegKey, Handle> m_handles;
    RegKey m_nextHandle = 0x100;
};

}  // namespace pw
