#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pw {

// The list an installation leaves beside its programs, install_manifest.txt: one entry a
// line, a kind and a value split by a tab.
//   program    the full path that App Paths names
//   uninstall  the command line recorded in the uninstall slot
//   file       an installed file, relative to the prefix
//   dir        a directory the installation created, relative to the prefix ("." the prefix
//              itself, "..", "../.." its parents, for an installation that created them)
struct Manifest {
    std::string program;
    std::string uninstallCommand;
    std::vector<std::string> files;
    std::vector<std::string> dirs;
};

inline constexpr std::string_view kManifestName = "install_manifest.txt";

// Reads the manifest's text. An entry that could lead outside the prefix is dropped: an
// absolute path, a file with a "." or ".." part, a directory that mixes ".." with names.
// Lines of other kinds are ignored.
Manifest parseManifest(std::string_view text);

}  // namespace pw
