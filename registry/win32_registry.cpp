// The registry functions over advapi32, for the Windows build. Handles of opened keys are
// kept in a table and handed out as small numbers, because a key handle is 32 bits wide in
// the registry interface and a pointer wide in the system's.
#include <windows.h>

#include <map>
#include <mutex>

#include "registry/registry_api.h"

namespace pw {

namespace {

class Win32Registry : public RegistryApi {
  public:
    long regOpenKeyEx(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                      RegKey* result) override {
        if (result == nullptr) {
            return ERROR_INVALID_PARAMETER;
        }
        *result = 0;
        HKEY parent;
        if (!toSystem(key, parent)) {
            return ERROR_INVALID_HANDLE;
        }
        HKEY opened = nullptr;
        LONG code = RegOpenKeyExA(parent, subKey, options, access, &opened);
        if (code == ERROR_SUCCESS) {
            *result = add(opened);
        }
        return code;
    }

    long regCreateKeyEx(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                        RegKey* result, std::uint32_t* disposition) override {
        if (result == nullptr) {
            return ERROR_INVALID_PARAMETER;
        }
        *result = 0;
        HKEY parent;
        if (!toSystem(key, parent)) {
            return ERROR_INVALID_HANDLE;
        }
        HKEY opened = nullptr;
        DWORD how = 0;
        LONG code =
            RegCreateKeyExA(parent, subKey, 0, nullptr, options, access, nullptr, &opened, &how);
        if (code == ERROR_SUCCESS) {
            *result = add(opened);
            if (disposition != nullptr) {
                *disposition = how;
            }
        }
        return code;
    }

    long regQueryValueEx(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* size) override {
        HKEY handle;
        if (!toSystem(key, handle)) {
            return ERROR_INVALID_HANDLE;
        }
        DWORD systemType = 0;
        DWORD systemSize = size != nullptr ? *size : 0;
        LONG code = RegQueryValueExA(handle, name, nullptr, &systemType, data,
                                     size != nullptr ? &systemSize : nullptr);
        if (type != nullptr) {
            *type = systemType;
        }
        if (size != nullptr) {
            *size = systemSize;
        }
        return code;
    }

    long regSetValueEx(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                       std::uint32_t size) override {
        HKEY handle;
        if (!toSystem(key, handle)) {
            return ERROR_INVALID_HANDLE;
        }
        return RegSetValueExA(handle, name, 0, type, data, size);
    }

    long regDeleteKey(RegKey key, const char* subKey) override {
        HKEY handle;
        if (!toSystem(key, handle)) {
            return ERROR_INVALID_HANDLE;
        }
        return RegDeleteKeyA(handle, subKey);
    }

    long regDeleteValue(RegKey key, const char* name) override {
        HKEY handle;
        if (!toSystem(key, handle)) {
            return ERROR_INVALID_HANDLE;
        }
        return RegDeleteValueA(handle, name);
    }

    long regEnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                      char* className, std::uint32_t* classSize) override {
        HKEY handle;
        if (!toSystem(key, handle)) {
            return ERROR_INVALID_HANDLE;
        }
        DWORD systemName = nameSize != nullptr ? *nameSize : 0;
        DWORD systemClass = classSize != nullptr ? *classSize : 0;
        LONG code =
            RegEnumKeyExA(handle, index, name, nameSize != nullptr ? &systemName : nullptr, nullptr,
                          className, classSize != nullptr ? &systemClass : nullptr, nullptr);
        if (nameSize != nullptr) {
            *nameSize = systemName;
        }
        if (classSize != nullptr) {
            *classSize = systemClass;
        }
        return code;
    }

    long regEnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override {
        HKEY handle;
        if (!toSystem(key, handle)) {
            return ERROR_INVALID_HANDLE;
        }
        DWORD systemName = nameSize != nullptr ? *nameSize : 0;
        DWORD systemType = 0;
        DWORD systemData = dataSize != nullptr ? *dataSize : 0;
        LONG code =
            RegEnumValueA(handle, index, name, nameSize != nullptr ? &systemName : nullptr, nullptr,
                          &systemType, data, dataSize != nullptr ? &systemData : nullptr);
        if (nameSize != nullptr) {
            *nameSize = systemName;
        }
        if (type != nullptr) {
            *type = systemType;
        }
        if (dataSize != nullptr) {
            *dataSize = systemData;
        }
        return code;
    }

    long regQueryInfoKey(RegKey key, char* className, std::uint32_t* classSize,
                         std::uint32_t* subKeys, std::uint32_t* maxSubKeyLength,
                         std::uint32_t* maxClassLength, std::uint32_t* values,
                         std::uint32_t* maxValueNameLength,
                         std::uint32_t* maxValueLength) override {
        HKEY handle;
        if (!toSystem(key, handle)) {
            return ERROR_INVALID_HANDLE;
        }
        DWORD counts[7] = {classSize != nullptr ? *classSize : 0, 0, 0, 0, 0, 0, 0};
        LONG code = RegQueryInfoKeyA(handle, className, classSize != nullptr ? &counts[0] : nullptr,
                                     nullptr, &counts[1], &counts[2], &counts[3], &counts[4],
                                     &counts[5], &counts[6], nullptr, nullptr);
        std::uint32_t* outputs[7] = {classSize,      subKeys, maxSubKeyLength,
                                     maxClassLength, values,  maxValueNameLength,
                                     maxValueLength};
        for (int i = 0; i < 7; ++i) {
            if (outputs[i] != nullptr) {
                *outputs[i] = counts[i];
            }
        }
        return code;
    }

    long regCloseKey(RegKey key) override {
        if (isPredefinedRoot(key)) {
            return ERROR_SUCCESS;
        }
        std::lock_guard<std::mutex> guard(m_mutex);
        auto it = m_handles.find(key);
        if (it == m_handles.end()) {
            return ERROR_INVALID_HANDLE;
        }
        LONG code = RegCloseKey(it->second);
        m_handles.erase(it);
        return code;
    }

  private:
    bool toSystem(RegKey key, HKEY& out) {
        if (isPredefinedRoot(key)) {
            out = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
            return true;
        }
        std::lock_guard<std::mutex> guard(m_mutex);
        auto it = m_handles.find(key);
        if (it == m_handles.end()) {
            return false;
        }
        out = it->second;
        return true;
    }

    RegKey add(HKEY key) {
        std::lock_guard<std::mutex> guard(m_mutex);
        while (m_handles.count(m_next) != 0 || m_next == 0 || isPredefinedRoot(m_next)) {
            m_next += 4;
        }
        RegKey id = m_next;
        m_next += 4;
        m_handles.emplace(id, key);
        return id;
    }

    std::mutex m_mutex;
    std::map<RegKey, HKEY> m_handles;
    RegKey m_next = 0x100;
};

}  // namespace

RegistryApi& systemRegistry() {
    static Win32Registry registry;
    return registry;
}

}  // namespace pw
