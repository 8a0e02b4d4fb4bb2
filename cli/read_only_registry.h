#pragma once

#include "registry/registry_api.h"

namespace pw::cli {

// The registry as a command that writes nothing sees it: reads go to `base`; a key that would
// have to be created is not found, and every write is refused with access denied.
class ReadOnlyRegistry : public RegistryApi {
  public:
    explicit ReadOnlyRegistry(RegistryApi& base) : m_base(base) {}

    long regOpenKeyEx(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                      RegKey* result) override;
    long regCreateKeyEx(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                        RegKey* result, std::uint32_t* disposition) override;
    long regQueryValueEx(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* size) override;
    long regSetValueEx(RegKey, const char*, std::uint32_t, const std::uint8_t*,
                       std::uint32_t) override {
        return kErrorAccessDenied;
    }
    long regDeleteKey(RegKey, const char*) override { return kErrorAccessDenied; }
    long regDeleteValue(RegKey, const char*) override { return kErrorAccessDenied; }
    long regEnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                      char* className, std::uint32_t* classSize) override;
    long regEnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override;
    long regQueryInfoKey(RegKey key, char* className, std::uint32_t* classSize,
                         std::uint32_t* subKeys, std::uint32_t* maxSubKeyLength,
                         std::uint32_t* maxClassLength, std::uint32_t* values,
                         std::uint32_t* maxValueNameLength, std::uint32_t* maxValueLength) override;
    long regCloseKey(RegKey key) override { return m_base.regCloseKey(key); }

  private:
    RegistryApi& m_base;
};

}  // namespace pw::cli
