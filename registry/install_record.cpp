#include "registry/install_record.h"

#include "pagewright_version.h"
#include "registry/install_dir.h"

namespace pw {

namespace {

// A key path split into its parent and its last name, as DeleteKey wants them.
struct KeyPath {
    std::string parent;
    std::string name;
};

KeyPath splitLast(std::string_view path) {
    size_t at = path.rfind('\\');
    return {std::string(path.substr(0, at)), std::string(path.substr(at + 1))};
}

bool holds(RegistryApi& api, std::string_view key, const std::string& valueName,
           const std::string& expected) {
    WinRegistry probe(ShowFailures(), api);
    probe.OpenKey(kHkeyLocalMachine, std::string(key), kKeyRead);
    if (probe.lastError() != 0) {
        return false;
    }
    RegistryData value = probe.QueryValue(valueName);
    const auto* text = std::get_if<std::string>(&value);
    return text != nullptr && *text == expected;
}

bool deleteKey(RegistryApi& api, std::string_view key, const RegistryMessageSink& sink) {
    KeyPath path = splitLast(key);
    WinRegistry registry(ShowFailures(sink), api);
    registry.OpenKey(kHkeyLocalMachine, path.parent, kKeyAllAccess);
    if (registry.lastError() != 0) {
        return false;
    }
    registry.DeleteKey(path.name);
    return registry.lastError() == 0;
}

}  // namespace

bool recordInstall(const InstallRecord& record, const RegistryMessageSink& sink, RegistryApi& api) {
    WinRegistry registry(ShowFailures(sink), api);
    bool ok = true;
    registry.CreateKey(kHkeyLocalMachine, std::string(kAppPathsKey), kKeyAllAccess, false);
    registry.SaveValue("", record.program);
    ok &= registry.lastError() == 0;
    registry.CreateKey(kHkeyLocalMachine, std::string(kUninstallSlotKey), kKeyAllAccess, false);
    registry.SaveValue("DisplayName", "Pagewright " + std::string(kVersion));
    ok &= registry.lastError() == 0;
    registry.SaveValue("UninstallString", record.uninstallCommand);
    ok &= registry.lastError() == 0;
    return ok;
}

RecordsFound findInstallRecords(const InstallRecord& record, RegistryApi& api) {
    RecordsFound found;
    found.appPaths = holds(api, kAppPathsKey, "", record.program);
    found.uninstallSlot = holds(api, kUninstallSlotKey, "UninstallString", record.uninstallCommand);
    return found;
}

bool forgetInstall(const InstallRecord& record, const RegistryMessageSink& sink, RegistryApi& api) {
    RecordsFound found = findInstallRecords(record, api);
    bool ok = true;
    if (found.appPaths) {
        ok &= deleteKey(api, kAppPathsKey, sink);
    }
    if (found.uninstallSlot) {
        ok &= deleteKey(api, kUninstallSlotKey, sink);
    }
    return ok;
}

}  // namespace pw
