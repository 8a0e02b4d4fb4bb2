#pragma once

#include <cstdint>

namespace pw {

// A key handle as the registry functions see it: one of the predefined roots, or a handle
// returned by regOpenKeyEx / regCreateKeyEx. 0 is never a valid handle.
using RegKey = std::uint32_t;

// The predefined roots, by their system values.
inline constexpr RegKey kHkeyClassesRoot = 0x80000000u;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;
inline constexpr RegKey kHkeyUsers = 0x80000003u;
inline constexpr RegKey kHkeyPerformanceData = 0x80000004u;
inline constexpr RegKey kHkeyCurrentConfig = 0x80000005u;
inline constexpr RegKey kHkeyDynData = 0x80000006u;
inline constexpr int kRootCount = 7;

// Return codes of the registry functions (the system's own numbers).
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorBadPathname = 161;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
inline constexpr long kErrorKeyDeleted = 1018;
inline constexpr long kErrorRegistryIoFailed = 1016;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Access rights and options.
inline constexpr std::uint32_t kKeyQueryValue = 0x1;
inline constexpr std::uint32_t kKeySetValue = 0x2;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x4;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x8;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kRegOptionNonVolatile = 0;
inline constexpr std::uint32_t kRegOptionVolatile = 1;

// Dispositions reported by regCreateKeyEx.
inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// True for the seven predefined root handles.
inline bool isPredefinedRoot(RegKey key) {
    return key >= kHkeyClassesRoot && key <= kHkeyDynData;
}

// The ten registry functions WinRegistry calls, with the system's calling conventions: sizes
// are in bytes (names: in characters, counting the terminating zero on input), a buffer that is
// too small gives kErrorMoreData with the needed size and is left untouched, an index past the
// last item gives kErrorNoMoreItems. Key and value names compare without regard to case.
class RegistryApi {
  public:
    virtual ~RegistryApi() = default;

    // Opens `subKey` (may be null or empty: the key itself) below `key`; *result is 0 on
    // failure.
    virtual long regOpenKeyEx(RegKey key, const char* subKey, std::uint32_t options,
                              std::uint32_t access, RegKey* result) = 0;
    // Opens `subKey` below `key`, creating it and its missing parents; *disposition tells
    // which happened.
    virtual long regCreateKeyEx(RegKey key, const char* subKey, std::uint32_t options,
                                std::uint32_t access, RegKey* result,
                                std::uint32_t* disposition) = 0;
    // Reads value `name` (null or empty: the default value). With a null `data`, reports only
    // the type and size.
    virtual long regQueryValueEx(RegKey key, const char* name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) = 0;
    // Writes value `name` with `size` bytes of `data`, replacing a value of that name.
    virtual long regSetValueEx(RegKey key, const char* name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) = 0;
    // Deletes `subKey` below `key`; a key that has subkeys is refused with kErrorAccessDenied.
    virtual long regDeleteKey(RegKey key, const char* subKey) = 0;
    // Deletes value `name` of `key`.
    virtual long regDeleteValue(RegKey key, const char* name) = 0;
    // Names the subkey at `index`; *nameSize holds the buffer's room and receives the length.
    virtual long regEnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                              char* className, std::uint32_t* classSize) = 0;
    // Names the value at `index` and optionally reads its type and data.
    virtual long regEnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                              std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) = 0;
    // Counts subkeys and values and reports the longest names and data; any pointer may be null.
    virtual long regQueryInfoKey(RegKey key, char* className, std::uint32_t* classSize,
                                 std::uint32_t* subKeys, std::uint32_t* maxSubKeyLength,
                                 std::uint32_t* maxClassLength, std::uint32_t* values,
                                 std::uint32_t* maxValueNameLength,
                                 std::uint32_t* maxValueLength) = 0;
    // Releases a handle; closing a predefined root succeeds and does nothing.
    virtual long regCloseKey(RegKey key) = 0;
};

// The registry of this machine: the hive file on Linux, advapi32 on Windows.
RegistryApi& systemRegistry();

}  // namespace pw
