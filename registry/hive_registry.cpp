#include "registry/hive_registry.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "registry/hive.h"
#include "registry/hive_store.h"

namespace pw {

namespace {

// Longest key name part and value name the registry accepts, in characters.
constexpr size_t kMaxKeyNameLength = 256;
constexpr size_t kMaxValueNameLength = 16383;

bool holdsLineBreak(std::string_view name) {
    return name.find('\r') != std::string_view::npos || name.find('\n') != std::string_view::npos;
}

// Checks a subkey path and splits it; returns the code that refuses it, or 0.
long parseSubkey(const char* subKey, std::vector<std::string>& parts) {
    std::string_view path = subKey != nullptr ? subKey : "";
    if (!path.empty() && path.front() == '\\') {
        return kErrorBadPathname;
    }
    parts = splitKeyPath(path);
    for (const auto& part : parts) {
        if (part.size() > kMaxKeyNameLength || holdsLineBreak(part)) {
            return kErrorInvalidParameter;
        }
    }
    return kErrorSuccess;
}

std::string_view valueName(const char* name) {
    return name != nullptr ? name : "";
}

bool isTextType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

}  // namespace

bool HiveRegistry::resolve(RegKey key, Handle& handle) const {
    if (isPredefinedRoot(key)) {
        handle.hive = m_fixedPath.empty() ? hivePath() : m_fixedPath;
        handle.root = static_cast<int>(key - kHkeyClassesRoot);
        handle.path.clear();
        handle.access = kKeyAllAccess;
        return true;
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    auto it = m_handles.find(key);
    if (it == m_handles.end()) {
        return false;
    }
    handle = it->second;
    return true;
}

RegKey HiveRegistry::addHandle(Handle handle) {
    std::lock_guard<std::mutex> guard(m_mutex);
    while (m_handles.count(m_nextHandle) != 0 || m_nextHandle == 0 ||
           isPredefinedRoot(m_nextHandle)) {
        m_nextHandle += 4;
    }
    RegKey key = m_nextHandle;
    m_nextHandle += 4;
    m_handles.emplace(key, std::move(handle));
    return key;
}

size_t HiveRegistry::openHandleCount() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_handles.size();
}

long HiveRegistry::regOpenKeyEx(RegKey key, const char* subKey, std::uint32_t /*options*/,
                                std::uint32_t access, RegKey* result) {
    if (result == nullptr) {
        return kErrorInvalidParameter;
    }
    *result = 0;
    Handle parent;
    if (!resolve(key, parent)) {
        return kErrorInvalidHandle;
    }
    std::vector<std::string> parts;
    if (long code = parseSubkey(subKey, parts)) {
        return code;
    }
    Hive hive = HiveStore(m_env, parent.hive).load();
    const HiveKey* current = hive.find(parent.root, parent.path);
    if (current == nullptr) {
        return kErrorKeyDeleted;
    }
    Handle opened{parent.hive, parent.root, parent.path, access};
    for (const auto& part : parts) {
        current = current->findSubkey(part);
        if (current == nullptr) {
            return kErrorFileNotFound;
        }
        opened.path.push_back(current->name);
    }
    *result = addHandle(std::move(opened));
    return kErrorSuccess;
}

long HiveRegistry::regCreateKeyEx(RegKey key, const char* subKey, std::uint32_t options,
                                  std::uint32_t access, RegKey* result,
                                  std::uint32_t* disposition) {
    if (result == nullptr) {
        return kErrorInvalidParameter;
    }
    *result = 0;
    if (options != kRegOptionNonVolatile && options != kRegOptionVolatile) {
        return kErrorInvalidParameter;
    }
    Handle parent;
    if (!resolve(key, parent)) {
        return kErrorInvalidHandle;
    }
    std::vector<std::string> parts;
    if (long code = parseSubkey(subKey, parts)) {
        return code;
    }
    if (parent.path.size() + parts.size() > kMaxKeyDepth) {
        return kErrorInvalidParameter;
    }
    Handle opened{parent.hive, parent.root, parent.path, access};
    bool createdLast = false;
    auto find = [&](Hive& hive) -> HiveKey* {
        HiveKey* current = hive.find(parent.root, parent.path);
        for (size_t i = 0; current != nullptr && i < parts.size(); ++i) {
            current = current->findSubkey(parts[i]);
        }
        return current;
    };
    // The common case, a key that exists, reads the file without taking the writers' lock.
    Hive existing = HiveStore(m_env, parent.hive).load();
    if (find(existing) == nullptr) {
        if ((parent.access & kKeyCreateSubKey) == 0) {
            return kErrorAccessDenied;
        }
        long code = HiveStore(m_env, parent.hive).update([&](Hive& hive, bool& changed) {
            HiveKey* current = hive.find(parent.root, parent.path);
            if (current == nullptr) {
                return kErrorKeyDeleted;
            }
            for (const auto& part : parts) {
                bool created = false;
                current = &current->addSubkey(part, &created);
                createdLast = created;
                changed = changed || created;
            }
            return kErrorSuccess;
        });
        if (code != kErrorSuccess) {
            return code;
        }
        existing = HiveStore(m_env, parent.hive).load();
    }
    const HiveKey* current = existing.find(parent.root, parent.path);
    if (current == nullptr) {
        return kErrorKeyDeleted;
    }
    for (const auto& part : parts) {
        current = current->findSubkey(part);
        if (current == nullptr) {
            // Deleted by another process between the write and this read.
            return kErrorKeyDeleted;
        }
        opened.path.push_back(current->name);
    }
    if (disposition != nullptr) {
        *disposition = createdLast ? kRegCreatedNewKey : kRegOpenedExistingKey;
    }
    *result = addHandle(std::move(opened));
    return kErrorSuccess;
}

long HiveRegistry::readKey(RegKey key, std::uint32_t access, Hive& hive,
                           const HiveKey*& current) const {
    Handle handle;
    if (!resolve(key, handle)) {
        return kErrorInvalidHandle;
    }
    if ((handle.access & access) == 0) {
        return kErrorAccessDenied;
    }
    hive = HiveStore(m_env, handle.hive).load();
    current = hive.find(handle.root, handle.path);
    return current == nullptr ? kErrorKeyDeleted : kErrorSuccess;
}

long HiveRegistry::regQueryValueEx(RegKey key, const char* name, std::uint32_t* type,
                                   std::uint8_t* data, std::uint32_t* size) {
    if (data != nullptr && size == nullptr) {
        return kErrorInvalidParameter;
    }
    Hive hive;
    const HiveKey* current = nullptr;
    if (long status = readKey(key, kKeyQueryValue, hive, current); status != kErrorSuccess) {
        return status;
    }
    const HiveValue* value = current->findValue(valueName(name));
    if (value == nullptr) {
        return kErrorFileNotFound;
    }
    auto length = static_cast<std::uint32_t>(value->data.size());
    if (type != nullptr) {
        *type = value->type;
    }
    if (data == nullptr) {
        if (size != nullptr) {
            *size = length;
        }
        return kErrorSuccess;
    }
    if (*size < length) {
        *size = length;
        return kErrorMoreData;
    }
    std::copy(value->data.begin(), value->data.end(), data);
    // A text stored without its terminating zero gets one when the buffer has room for it.
    if (isTextType(value->type) && *size > length && (length == 0 || data[length - 1] != 0)) {
        data[length] = 0;
    }
    *size = length;
    return kErrorSuccess;
}

long HiveRegistry::regSetValueEx(RegKey key, const char* name, std::uint32_t type,
                                 const std::uint8_t* data, std::uint32_t size) {
    std::string_view valueNameText = valueName(name);
    if (valueNameText.size() > kMaxValueNameLength || holdsLineBreak(valueNameText) ||
        (data == nullptr && size != 0)) {
        return kErrorInvalidParameter;
    }
    Handle handle;
    if (!resolve(key, handle)) {
        return kErrorInvalidHandle;
    }
    if ((handle.access & kKeySetValue) == 0) {
        return kErrorAccessDenied;
    }
    std::vector<std::uint8_t> bytes(data, data + size);
    return HiveStore(m_env, handle.hive).update([&](Hive& hive, bool& changed) {
        HiveKey* current = hive.find(handle.root, handle.path);
        if (current == nullptr) {
            return kErrorKeyDeleted;
        }
        const HiveValue* old = current->findValue(valueNameText);
        changed = old == nullptr || old->type != type || old->data != bytes;
        current->setValue(valueNameText, type, bytes);
        return kErrorSuccess;
    });
}

long HiveRegistry::regDeleteKey(RegKey key, const char* subKey) {
    if (subKey == nullptr) {
        return kErrorInvalidParameter;
    }
    Handle handle;
    if (!resolve(key, handle)) {
        return kErrorInvalidHandle;
    }
    std::vector<std::string> parts;
    if (long code = parseSubkey(subKey, parts)) {
        return code;
    }
    return HiveStore(m_env, handle.hive).update([&](Hive& hive, bool& changed) {
        std::vector<std::string> path = handle.path;
        if (hive.find(handle.root, path) == nullptr) {
            return kErrorKeyDeleted;
        }
        path.insert(path.end(), parts.begin(), parts.end());
        const HiveKey* target = hive.find(handle.root, path);
        if (target == nullptr) {
            return kErrorFileNotFound;
        }
        if (path.empty() || !target->subkeys.empty()) {
            return kErrorAccessDenied;
        }
        std::string last = path.back();
        path.pop_back();
        hive.find(handle.root, path)->removeSubkey(last);
        changed = true;
        return kErrorSuccess;
    });
}

long HiveRegistry::regDeleteValue(RegKey key, const char* name) {
    Handle handle;
    if (!resolve(key, handle)) {
        return kErrorInvalidHandle;
    }
    if ((handle.access & kKeySetValue) == 0) {
        return kErrorAccessDenied;
    }
    return HiveStore(m_env, handle.hive).update([&](Hive& hive, bool& changed) {
        HiveKey* current = hive.find(handle.root, handle.path);
        if (current == nullptr) {
            return kErrorKeyDeleted;
        }
        if (!current->removeValue(valueName(name))) {
            return kErrorFileNotFound;
        }
        changed = true;
        return kErrorSuccess;
    });
}

long HiveRegistry::regEnumKeyEx(RegKey key, std::uint32_t index, char* name,
                                std::uint32_t* nameSize, char* className,
                                std::uint32_t* classSize) {
    if (name == nullptr || nameSize == nullptr) {
        return kErrorInvalidParameter;
    }
    Hive hive;
    const HiveKey* current = nullptr;
    if (long status = readKey(key, kKeyEnumerateSubKeys, hive, current); status != kErrorSuccess) {
        return status;
    }
    if (index >= current->subkeys.size()) {
        return kErrorNoMoreItems;
    }
    const std::string& subkeyName = current->subkeys[index].name;
    if (subkeyName.size() + 1 > *nameSize) {
        return kErrorMoreData;
    }
    std::memcpy(name, subkeyName.c_str(), subkeyName.size() + 1);
    *nameSize = static_cast<std::uint32_t>(subkeyName.size());
    if (className != nullptr && classSize != nullptr && *classSize > 0) {
        className[0] = '\0';
    }
    if (classSize != nullptr) {
        *classSize = 0;
    }
    return kErrorSuccess;
}

long HiveRegistry::regEnumValue(RegKey key, std::uint32_t index, char* name,
                                std::uint32_t* nameSize, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* dataSize) {
    if (name == nullptr || nameSize == nullptr || (data != nullptr && dataSize == nullptr)) {
        return kErrorInvalidParameter;
    }
    Hive hive;
    const HiveKey* current = nullptr;
    if (long status = readKey(key, kKeyQueryValue, hive, current); status != kErrorSuccess) {
        return status;
    }
    if (index >= current->values.size()) {
        return kErrorNoMoreItems;
    }
    const HiveValue& value = current->values[index];
    auto length = static_cast<std::uint32_t>(value.data.size());
    bool nameFits = value.name.size() + 1 <= *nameSize;
    bool dataFits = data == nullptr || *dataSize >= length;
    if (dataSize != nullptr) {
        *dataSize = length;
    }
    if (!nameFits || !dataFits) {
        return kErrorMoreData;
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameSize = static_cast<std::uint32_t>(value.name.size());
    if (type != nullptr) {
        *type = value.type;
    }
    if (data != nullptr) {
        std::copy(value.data.begin(), value.data.end(), data);
    }
    return kErrorSuccess;
}

long HiveRegistry::regQueryInfoKey(RegKey key, char* className, std::uint32_t* classSize,
                                   std::uint32_t* subKeys, std::uint32_t* maxSubKeyLength,
                                   std::uint32_t* maxClassLength, std::uint32_t* values,
                                   std::uint32_t* maxValueNameLength,
                                   std::uint32_t* maxValueLength) {
    Hive hive;
    const HiveKey* current = nullptr;
    if (long status = readKey(key, kKeyQueryValue, hive, current); status != kErrorSuccess) {
        return status;
    }
    // Keys here never carry a class name.
    if (className != nullptr && classSize != nullptr) {
        if (*classSize == 0) {
            return kErrorMoreData;
        }
        className[0] = '\0';
    }
    if (classSize != nullptr) {
        *classSize = 0;
    }
    std::uint32_t longestSubkey = 0;
    for (const auto& subkey : current->subkeys) {
        longestSubkey = std::max(longestSubkey, static_cast<std::uint32_t>(subkey.name.size()));
    }
    std::uint32_t longestName = 0;
    std::uint32_t longestData = 0;
    for (const auto& value : current->values) {
        longestName = std::max(longestName, static_cast<std::uint32_t>(value.name.size()));
        // The system counts text data in its internal two-byte characters.
        auto length = static_cast<std::uint32_t>(value.data.size());
        longestData = std::max(longestData, isTextType(value.type) ? 2 * length : length);
    }
    if (subKeys != nullptr) {
        *subKeys = static_cast<std::uint32_t>(current->subkeys.size());
    }
    if (maxSubKeyLength != nullptr) {
        *maxSubKeyLength = longestSubkey;
    }
    if (maxClassLength != nullptr) {
        *maxClassLength = 0;
    }
    if (values != nullptr) {
        *values = static_cast<std::uint32_t>(current->values.size());
    }
    if (maxValueNameLength != nullptr) {
        *maxValueNameLength = longestName;
    }
    if (maxValueLength != nullptr) {
        *maxValueLength = longestData;
    }
    return kErrorSuccess;
}

long HiveRegistry::regCloseKey(RegKey key) {
    if (isPredefinedRoot(key)) {
        return kErrorSuccess;
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_handles.erase(key) != 0 ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace pw
