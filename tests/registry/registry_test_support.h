#pragma once

#include <string>

#include "registry/hive_registry.h"
#include "tests/support/temp_dir.h"

namespace pw::test {

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
