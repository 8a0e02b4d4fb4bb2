#pragma once

#include <string>
#include <string_view>

#include "registry/registry_api.h"
#include "registry/win_registry.h"

namespace pw {

// The uninstall slot an installation records itself in, under HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kUninstallSlotKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ST5UNST #1";

// What an installation leaves in the registry: App Paths names its program (the full path),
// the uninstall slot its uninstall command line.
struct InstallRecord {
    std::string program;
    std::string uninstallCommand;
};

// Writes both records, replacing what they held. Returns false, with the failures sent to
// `sink`, when either could not be written.
bool recordInstall(const InstallRecord& record, const RegistryMessageSink& sink,
                   RegistryApi& api = systemRegistry());

// Which of the two records still name `record`'s installation. Reading never creates the
// registry nor any key in it.
struct RecordsFound {
    bool appPaths = false;
    bool uninstallSlot = false;

    bool any() const { return appPaths || uninstallSlot; }
};
RecordsFound findInstallRecords(const InstallRecord& record, RegistryApi& api = systemRegistry());

// Deletes the records that still name `record`'s installation; a record that is gone, or
// that now names another installation, is left as it is. Returns false, with the failures
// sent to `sink`, when a record could not be deleted.
bool forgetInstall(const InstallRecord& record, const RegistryMessageSink& sink,
                   RegistryApi& api = systemRegistry());

}  // namespace pw
