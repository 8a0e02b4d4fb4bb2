// pagewright-regtool: records an installation in the registry and forgets it again. `make
// install` runs it to write the App Paths key and uninstall slot 1; the uninstall script runs
// it to remove exactly those records, and only while they still name this installation.
#include <cstdio>
#include <string>
#include <string_view>

#include "registry/install_dir.h"
#include "registry/win_registry.h"

namespace {

constexpr std::string_view kUninstallRoot =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::string_view kUninstallSlot = "ST5UNST #1";
constexpr std::string_view kAppPathsParent =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr std::string_view kAppPathsName = "Pagewright.exe";
constexpr std::string_view kDisplayName = "Pagewright 1.04";

int usage() {
    std::fputs(
        "usage: pagewright-regtool record-install PROGRAM UNINSTALL-COMMAND\n"
        "       pagewright-regtool forget-install PROGRAM UNINSTALL-COMMAND\n",
        stderr);
    return 2;
}

void toStandardError(const std::string& message) {
    std::fprintf(stderr, "pagewright-regtool: %s\n", message.c_str());
}

std::string textOf(const pw::RegistryData& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text != nullptr ? *text : std::string();
}

int recordInstall(const std::string& program, const std::string& uninstallCommand) {
    pw::WinRegistry registry{pw::RegistryMessageSink(toStandardError)};
    int status = 0;
    registry.CreateKey(pw::kHkeyLocalMachine, std::string(pw::kAppPathsKey), pw::kKeyAllAccess,
                       false);
    registry.SaveValue("", program);
    status |= registry.lastError() != 0;
    registry.CreateKey(pw::kHkeyLocalMachine,
                       std::string(kUninstallRoot) + "\\" + std::string(kUninstallSlot),
                       pw::kKeyAllAccess, false);
    registry.SaveValue("DisplayName", std::string(kDisplayName));
    status |= registry.lastError() != 0;
    registry.SaveValue("UninstallString", uninstallCommand);
    status |= registry.lastError() != 0;
    return status;
}

// Deletes key `parent`\`name` when its value `valueName` is still `expected`. A record that is
// already gone, or that now names another installation, is left as it is.
int forgetKey(std::string_view parent, std::string_view name, const std::string& valueName,
              const std::string& expected) {
    std::string path = std::string(parent) + "\\" + std::string(name);
    pw::WinRegistry probe{pw::RegistryMessageSink()};
    probe.OpenKey(pw::kHkeyLocalMachine, path, pw::kKeyRead);
    if (probe.lastError() != 0 || textOf(probe.QueryValue(valueName)) != expected) {
        return 0;
    }
    probe.CloseKey();
    pw::WinRegistry registry{pw::RegistryMessageSink(toStandardError)};
    registry.OpenKey(pw::kHkeyLocalMachine, std::string(parent), pw::kKeyAllAccess);
    registry.DeleteKey(std::string(name));
    return registry.lastError() != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        return usage();
    }
    std::string_view command = argv[1];
    std::string program = argv[2];
    std::string uninstallCommand = argv[3];
    if (command == "record-install") {
        return recordInstall(program, uninstallCommand);
    }
    if (command == "forget-install") {
        int status = forgetKey(kAppPathsParent, kAppPathsName, "", program);
        status |= forgetKey(kUninstallRoot, kUninstallSlot, "UninstallString", uninstallCommand);
        return status;
    }
    return usage();
}
