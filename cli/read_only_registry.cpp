#include "cli/read_only_registry.h"

namespace pw::cli {

long ReadOnlyRegistry::regOpenKeyEx(RegKey key, const char* subKey, std::uint32_t options,
                                    std::uint32_t, RegKey* result) {
    return m_base.regOpenKeyEx(key, subKey, options, kKeyRead, result);
}

long ReadOnlyRegistry::regCreateKeyEx(RegKey key, const char* subKey, std::uint32_t options,
                                      std::uint32_t, RegKey* result, std::uint32_t* disposition) {
    long status = m_base.regOpenKeyEx(key, subKey, options, kKeyRead, result);
    if (status == kErrorSuccess && disposition != nullptr) {
        *disposition = kRegOpenedExistingKey;
    }
    return status;
}

long ReadOnlyRegistry::regQueryValueEx(RegKey key, const char* name, std::uint32_t* type,
                                       std::uint8_t* data, std::uint32_t* size) {
    return m_base.regQueryValueEx(key, name, type, data, size);
}

long ReadOnlyRegistry::regEnumKeyEx(RegKey key, std::uint32_t index, char* name,
                                    std::uint32_t* nameSize, char* className,
                                    std::uint32_t* classSize) {
    return m_base.regEnumKeyEx(key, index, name, nameSize, className, classSize);
}

long ReadOnlyRegistry::regEnumValue(RegKey key, std::uint32_t index, char* name,
                                    std::uint32_t* nameSize, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* dataSize) {
    return m_base.regEnumValue(key, index, name, nameSize, type, data, dataSize);
}

long ReadOnlyRegistry::regQueryInfoKey(RegKey key, char* className, std::uint32_t* classSize,
                                       std::uint32_t* subKeys, std::uint32_t* maxSubKeyLength,
                                       std::uint32_t* maxClassLength, std::uint32_t* values,
                                       std::uint32_t* maxValueNameLength,
                                       std::uint32_t* maxValueLength) {
    return m_base.regQueryInfoKey(key, className, classSize, subKeys, maxSubKeyLength,
                                  maxClassLength, values, maxValueNameLength, maxValueLength);
}

}  // namespace pw::cli
