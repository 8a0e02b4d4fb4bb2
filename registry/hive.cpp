#include "registry/hive.h"

#include <algorithm>

namespace pw {

namespace {

constexpr std::array<std::string_view, 7> kRootNames = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

unsigned char upper(char c) {
    auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

template <class Key>
auto findSubkeyIn(Key& key, std::string_view subkeyName) -> decltype(&key.subkeys.front()) {
    auto it = std::lower_bound(
        key.subkeys.begin(), key.subkeys.end(), subkeyName,
        [](const HiveKey& k, std::string_view name) { return nameLess(k.name, name); });
    if (it != key.subkeys.end() && sameName(it->name, subkeyName)) {
        return &*it;
    }
    return nullptr;
}

template <class Key>
auto findValueIn(Key& key, std::string_view valueName) -> decltype(&key.values.front()) {
    for (auto& value : key.values) {
        if (sameName(value.name, valueName)) {
            return &value;
        }
    }
    return nullptr;
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return true;
}

bool nameLess(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return upper(x) < upper(y); });
}

std::vector<std::string> splitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.emplace_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

std::string_view rootName(int root) {
    return kRootNames.at(static_cast<size_t>(root));
}

int rootIndex(std::string_view name) {
    for (size_t i = 0; i < kRootNames.size(); ++i) {
        if (sameName(kRootNames[i], name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

HiveKey* HiveKey::findSubkey(std::string_view subkeyName) {
    return findSubkeyIn(*this, subkeyName);
}

const HiveKey* HiveKey::findSubkey(std::string_view subkeyName) const {
    return findSubkeyIn(*this, subkeyName);
}

HiveValue* HiveKey::findValue(std::string_view valueName) {
    return findValueIn(*this, valueName);
}

const HiveValue* HiveKey::findValue(std::string_view valueName) const {
    return findValueIn(*this, valueName);
}

HiveKey& HiveKey::addSubkey(std::string_view subkeyName, bool* created) {
    auto it = std::lower_bound(
        subkeys.begin(), subkeys.end(), subkeyName,
        [](const HiveKey& k, std::string_view name) { return nameLess(k.name, name); });
    bool found = it != subkeys.end() && sameName(it->name, subkeyName);
    if (created != nullptr) {
        *created = !found;
    }
    if (found) {
        return *it;
    }
    HiveKey key;
    key.name = std::string(subkeyName);
    return *subkeys.insert(it, std::move(key));
}

bool HiveKey::removeSubkey(std::string_view subkeyName) {
    HiveKey* key = findSubkey(subkeyName);
    if (key == nullptr) {
        return false;
    }
    subkeys.erase(subkeys.begin() + (key - subkeys.data()));
    return true;
}

void HiveKey::setValue(std::string_view valueName, std::uint32_t type,
                       std::vector<std::uint8_t> data) {
    if (HiveValue* value = findValue(valueName)) {
        value->type = type;
        value->data = std::move(data);
        return;
    }
    values.push_back(HiveValue{std::string(valueName), type, std::move(data)});
}

bool HiveKey::removeValue(std::string_view valueName) {
    HiveValue* value = findValue(valueName);
    if (value == nullptr) {
        return false;
    }
    values.erase(values.begin() + (value - values.data()));
    return true;
}

Hive::Hive() {
    for (size_t i = 0; i < roots.size(); ++i) {
        roots[i].name = std::string(kRootNames[i]);
    }
}

HiveKey* Hive::find(int root, const std::vector<std::string>& path) {
    HiveKey* key = &roots.at(static_cast<size_t>(root));
    for (const auto& part : path) {
        key = key->findSubkey(part);
        if (key == nullptr) {
            return nullptr;
        }
    }
    return key;
}

const HiveKey* Hive::find(int root, const std::vector<std::string>& path) const {
    return const_cast<Hive*>(this)->find(root, path);
}

}  // namespace pw
