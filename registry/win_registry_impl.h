#pragma once

// The one source of both builds of WinRegistry; win_registry.cpp and win_registry_silent.cpp
// instantiate it with their failure handling.

#include <algorithm>

#include "registry/win_registry.h"

namespace pw {

namespace win_registry_detail {

// Room the class gives names and a first read of data, as the registry sizes them.
inline constexpr std::uint32_t kBufferSize = 256;
inline constexpr size_t kMaxNameLength = 255;
inline constexpr size_t kMaxBinaryLength = 32767;

inline RegistryBytes littleEndian(std::uint32_t n) {
    return {static_cast<std::uint8_t>(n & 0xFF), static_cast<std::uint8_t>((n >> 8) & 0xFF),
            static_cast<std::uint8_t>((n >> 16) & 0xFF), static_cast<std::uint8_t>(n >> 24)};
}

}  // namespace win_registry_detail

template <class Failures>
bool BasicWinRegistry<Failures>::BadRootKey(std::uint32_t rootKey) {
    return !isPredefinedRoot(rootKey);
}

template <class Failures>
bool BasicWinRegistry<Failures>::BadSubkeyName(const std::string& subkeyName) {
    return (!subkeyName.empty() && subkeyName.front() == '\\') ||
           subkeyName.size() > win_registry_detail::kMaxNameLength;
}

template <class Failures>
bool BasicWinRegistry<Failures>::BadValueName(const std::string& valueName) {
    return valueName.size() > win_registry_detail::kMaxNameLength;
}

template <class Failures>
bool BasicWinRegistry<Failures>::BadAccess(std::uint32_t access) {
    return std::find(kAccessTable.begin(), kAccessTable.end(), access) == kAccessTable.end();
}

template <class Failures>
bool BasicWinRegistry<Failures>::BadValueType(std::uint32_t type) {
    return type == kRegExpandSz || type > kRegDword;
}

template <class Failures>
std::string BasicWinRegistry<Failures>::ErrTxt(long /*number*/) {
    return "Undefined registry return error code.";
}

template <class Failures>
void BasicWinRegistry<Failures>::fail(std::string_view operation, long number) {
    m_lastError = number;
    m_failures.failed(operation, number);
}

template <class Failures>
void BasicWinRegistry<Failures>::DeleteKey(const std::string& subkeyName) {
    m_lastError = 0;
    if (BadSubkeyName(subkeyName)) {
        return fail("DeleteKey", kErrBadSubkeyName);
    }
    if (m_key == 0) {
        return fail("DeleteKey", kErrNoKeyOpen);
    }
    if (long code = m_api.regDeleteKey(m_key, subkeyName.c_str())) {
        fail("DeleteKey", code);
    }
}

template <class Failures>
void BasicWinRegistry<Failures>::OpenKey(std::uint32_t rootKey, const std::string& subkeyName,
                                         std::uint32_t access) {
    m_lastError = 0;
    // Whatever happens, the key open before is not the key asked for: close it first, so a
    // failed open never leaves the caller working on another key.
    CloseKey();
    long code = 0;
    if (BadRootKey(rootKey)) {
        code = kErrBadRootKey;
    } else if (BadSubkeyName(subkeyName)) {
        code = kErrBadSubkeyName;
    } else if (BadAccess(access)) {
        code = kErrBadAccess;
    } else {
        RegKey opened = 0;
        code = m_api.regOpenKeyEx(rootKey, subkeyName.c_str(), 0, access, &opened);
        if (code == 0) {
            m_key = opened;
        }
    }
    m_failures.opened(code);
    if (code != 0) {
        fail("OpenKey", code);
    }
}

template <class Failures>
std::int32_t BasicWinRegistry<Failures>::CreateKey(std::uint32_t rootKey,
                                                   const std::string& subkeyName,
                                                   std::uint32_t access, bool isVolatile) {
    m_lastError = 0;
    CloseKey();
    if (BadRootKey(rootKey)) {
        fail("CreateKey", kErrBadRootKey);
        return 0;
    }
    if (BadSubkeyName(subkeyName)) {
        fail("CreateKey", kErrBadSubkeyName);
        return 0;
    }
    if (BadAccess(access)) {
        fail("CreateKey", kErrBadAccess);
        return 0;
    }
    RegKey created = 0;
    std::uint32_t disposition = 0;
    long code = m_api.regCreateKeyEx(rootKey, subkeyName.c_str(),
                                     isVolatile ? kRegOptionVolatile : kRegOptionNonVolatile,
                                     access, &created, &disposition);
    if (code != 0) {
        fail("CreateKey", code);
        return 0;
    }
    m_key = created;
    return static_cast<std::int32_t>(disposition);
}

template <class Failures>
std::int32_t BasicWinRegistry<Failures>::GetCount(bool subkeys) {
    m_lastError = 0;
    if (m_key == 0) {
        fail("GetCount", kErrNoKeyOpen);
        return 0;
    }
    std::string className(win_registry_detail::kBufferSize, ' ');
    std::uint32_t classSize = win_registry_detail::kBufferSize;
    std::uint32_t subkeyCount = 0, longestSubkey = 0, longestClass = 0, valueCount = 0,
                  longestValueName = 0, longestValue = 0;
    auto query = [&] {
        return m_api.regQueryInfoKey(m_key, className.data(), &classSize, &subkeyCount,
                                     &longestSubkey, &longestClass, &valueCount, &longestValueName,
                                     &longestValue);
    };
    long code = query();
    if (code == kErrorMoreData) {
        // Room for the class name the key reported, and its terminating zero.
        className.assign(static_cast<size_t>(classSize) + 1, ' ');
        classSize += 1;
        code = query();
    }
    if (code != 0) {
        fail("GetCount", code);
        return 0;
    }
    return static_cast<std::int32_t>(subkeys ? subkeyCount : valueCount);
}

template <class Failures>
std::int32_t BasicWinRegistry<Failures>::SubkeyCount() {
    return GetCount(true);
}

template <class Failures>
std::int32_t BasicWinRegistry<Failures>::ValueCount() {
    return GetCount(false);
}

template <class Failures>
std::string BasicWinRegistry<Failures>::GetSubkeyName(std::int32_t index) {
    m_lastError = 0;
    if (m_key == 0) {
        fail("GetSubkeyName", kErrNoKeyOpen);
        return {};
    }
    if (index < 0) {
        fail("GetSubkeyName", kErrBadIndex);
        return {};
    }
    std::string name(win_registry_detail::kBufferSize, ' ');
    std::string className(win_registry_detail::kBufferSize, ' ');
    std::uint32_t nameSize = win_registry_detail::kBufferSize;
    std::uint32_t classSize = win_registry_detail::kBufferSize;
    long code = m_api.regEnumKeyEx(m_key, static_cast<std::uint32_t>(index), name.data(), &nameSize,
                                   className.data(), &classSize);
    if (code != 0) {
        fail("GetSubkeyName", code);
        return {};
    }
    name.resize(std::min<size_t>(nameSize, name.size()));
    return name;
}

template <class Failures>
std::string BasicWinRegistry<Failures>::GetValueName(std::int32_t index) {
    m_lastError = 0;
    if (m_key == 0) {
        fail("GetValueName", kErrNoKeyOpen);
        return {};
    }
    if (index < 0) {
        fail("GetValueName", kErrBadIndex);
        return {};
    }
    std::string name(win_registry_detail::kBufferSize, ' ');
    RegistryBytes data(win_registry_detail::kBufferSize);
    std::uint32_t nameSize = win_registry_detail::kBufferSize;
    std::uint32_t dataSize = win_registry_detail::kBufferSize;
    std::uint32_t type = 0;
    auto enumerate = [&] {
        return m_api.regEnumValue(m_key, static_cast<std::uint32_t>(index), name.data(), &nameSize,
                                  &type, data.data(), &dataSize);
    };
    long code = enumerate();
    if (code == kErrorMoreData) {
        data.resize(std::max<size_t>(dataSize, 1));
        dataSize = static_cast<std::uint32_t>(data.size());
        nameSize = win_registry_detail::kBufferSize;
        code = enumerate();
    }
    if (code != 0) {
        fail("GetValueName", code);
        return {};
    }
    name.resize(std::min<size_t>(nameSize, name.size()));
    return name;
}

template <class Failures>
void BasicWinRegistry<Failures>::DeleteValue(const std::string& valueName) {
    m_lastError = 0;
    if (BadValueName(valueName)) {
        return fail("DeleteValue", kErrBadValueName);
    }
    if (m_key == 0) {
        return fail("DeleteValue", kErrNoKeyOpen);
    }
    if (long code = m_api.regDeleteValue(m_key, valueName.c_str())) {
        fail("DeleteValue", code);
    }
}

template <class Failures>
long BasicWinRegistry<Failures>::writeValue(const std::string& valueName,
                                            const RegistryData& data) {
    std::uint32_t type = 0;
    RegistryBytes bytes;
    if (const auto* text = std::get_if<std::string>(&data)) {
        type = kRegSz;
        bytes.assign(text->begin(), text->end());
        bytes.push_back(0);
    } else if (const auto* n32 = std::get_if<std::int32_t>(&data)) {
        type = kRegDword;
        bytes = win_registry_detail::littleEndian(static_cast<std::uint32_t>(*n32));
    } else if (const auto* n16 = std::get_if<std::int16_t>(&data)) {
        type = kRegDword;
        bytes = win_registry_detail::littleEndian(
            static_cast<std::uint32_t>(static_cast<std::int32_t>(*n16)));
    } else if (const auto* n8 = std::get_if<std::uint8_t>(&data)) {
        type = kRegDword;
        bytes = win_registry_detail::littleEndian(*n8);
    } else if (const auto* array = std::get_if<RegistryBytes>(&data)) {
        if (array->size() > win_registry_detail::kMaxBinaryLength) {
            return kErrOverflow;
        }
        type = kRegBinary;
        bytes = *array;
    } else {
        return kErrorInvalidParameter;
    }
    return m_api.regSetValueEx(m_key, valueName.c_str(), type, bytes.data(),
                               static_cast<std::uint32_t>(bytes.size()));
}

template <class Failures>
void BasicWinRegistry<Failures>::SaveValue(const std::string& valueName, const RegistryData& data) {
    m_lastError = 0;
    if (BadValueName(valueName)) {
        return fail("SaveValue", kErrBadValueName);
    }
    if (m_key == 0) {
        return fail("SaveValue", kErrNoKeyOpen);
    }
    if (valueName.empty() && !std::holds_alternative<std::string>(data)) {
        return fail("SaveValue", kErrCannotStore);
    }
    if (long code = writeValue(valueName, data)) {
        fail("SaveValue", code);
    }
}

template <class Failures>
RegistryData BasicWinRegistry<Failures>::QueryValue(const std::string& valueName) {
    m_lastError = 0;
    // QueryValue reports nothing: a failure only leaves its number in lastError().
    if (BadValueName(valueName)) {
        m_lastError = kErrBadValueName;
        return {};
    }
    if (m_key == 0) {
        m_lastError = kErrNoKeyOpen;
        return {};
    }
    RegistryBytes data(win_registry_detail::kBufferSize);
    std::uint32_t size = win_registry_detail::kBufferSize;
    std::uint32_t type = 0;
    long code = m_api.regQueryValueEx(m_key, valueName.c_str(), &type, data.data(), &size);
    if (code == kErrorFileNotFound && valueName.empty()) {
        return {};
    }
    if (code == kErrorMoreData) {
        data.resize(std::max<size_t>(size, 1));
        size = static_cast<std::uint32_t>(data.size());
        code = m_api.regQueryValueEx(m_key, valueName.c_str(), &type, data.data(), &size);
    }
    if (code != 0) {
        m_lastError = code;
        return {};
    }
    if (BadValueType(type)) {
        m_lastError = kErrBadValueType;
        return {};
    }
    data.resize(std::min<size_t>(size, data.size()));
    switch (type) {
        case kRegSz: {
            // Only a terminating zero is cut: a text stored without one keeps its last byte.
            size_t length = (!data.empty() && data.back() == 0) ? data.size() - 1 : data.size();
            return std::string(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
        }
        case kRegDword: {
            data.resize(4, 0);
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(data[0]) |
                                             (static_cast<std::uint32_t>(data[1]) << 8) |
                                             (static_cast<std::uint32_t>(data[2]) << 16) |
                                             (static_cast<std::uint32_t>(data[3]) << 24));
        }
        case kRegBinary:
            return data;
        default:
            return {};
    }
}

template <class Failures>
void BasicWinRegistry<Failures>::CloseKey() {
    if (m_key != 0) {
        m_api.regCloseKey(m_key);
    }
    m_key = 0;
}

}  // namespace pw
