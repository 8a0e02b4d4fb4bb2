#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

// One named value of a key. `data` holds the bytes as stored, a text's terminating zero
// included.
struct HiveValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const HiveValue&) const = default;
};

// One key: its name as first spelled, its values in the order they were created, its
// subkeys sorted by their upper-cased names (the order the registry enumerates them in).
struct HiveKey {
    std::string name;
    std::vector<HiveValue> values;
    std::vector<HiveKey> subkeys;

    bool operator==(const HiveKey&) const = default;

    // The subkey or value of that name, compared without regard to case; null when absent.
    HiveKey* findSubkey(std::string_view subkeyName);
    const HiveKey* findSubkey(std::string_view subkeyName) const;
    HiveValue* findValue(std::string_view valueName);
    const HiveValue* findValue(std::string_view valueName) const;

    // The subkey of that name, added in sorted place when absent; `created` tells which.
    HiveKey& addSubkey(std::string_view subkeyName, bool* created = nullptr);
    // Removes the subkey of that name; false when absent.
    bool removeSubkey(std::string_view subkeyName);
    // Writes a value, keeping the first spelling of its name when it already exists.
    void setValue(std::string_view valueName, std::uint32_t type, std::vector<std::uint8_t> data);
    // Removes the value of that name; false when absent.
    bool removeValue(std::string_view valueName);
};

// The whole registry: the seven predefined roots, indexed as their handles are
// (HKEY_CLASSES_ROOT is 0).
struct Hive {
    Hive();
    std::array<HiveKey, 7> roots;

    bool operator==(const Hive&) const = default;

    // The key at `path` below root `root`; null when a part of it is missing.
    HiveKey* find(int root, const std::vector<std::string>& path);
    const HiveKey* find(int root, const std::vector<std::string>& path) const;
};

// The deepest a key may lie below its root, as on the system: deeper keys cannot be created
// and are not read from a hive file.
inline constexpr size_t kMaxKeyDepth = 512;

// The root's name as written in the hive file ("HKEY_LOCAL_MACHINE"), by root index.
std::string_view rootName(int root);
// The root index of a name as written in the hive file, compared without regard to case; -1
// when it names no root.
int rootIndex(std::string_view name);

// True when the two names are equal without regard to (ASCII) letter case.
bool sameName(std::string_view a, std::string_view b);
// Orders names the way the registry sorts subkeys: by their upper-cased bytes.
bool nameLess(std::string_view a, std::string_view b);
// The path split at its backslashes, empty parts dropped ("a\\b\\" gives a, b).
std::vector<std::string> splitKeyPath(std::string_view path);

}  // namespace pw
