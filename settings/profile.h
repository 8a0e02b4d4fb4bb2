#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "fs/env.h"
#include "fs/status.h"
#include "settings/ini_document.h"

namespace pw {

// One key to write: section, key, value.
struct ProfileWrite {
    std::string section;
    std::string key;
    std::string value;
};

// The settings file `file` as a document: empty when the file is missing or cannot be read.
// Reads at most kMaxProfileBytes bytes. Never creates or changes the file.
IniDocument readProfileDocument(Env& env, const std::filesystem::path& file);

// Reads one key of `file` with the rules of IniDocument::read(): trimmed, unquoted, cut to
// `limit` characters; `defaultValue` (without its trailing blanks, cut) when the file, the
// section or the key is missing.
std::string readProfileString(Env& env, const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t limit);

// Writes one key of `file` with the rules of IniDocument::write(). The value is stored
// unchanged, trailing blanks included. Creates the file (and its directory) when missing.
Status writeProfileString(Env& env, const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view value);

// Applies `writes` in order as one change of `file`. With `startEmpty` the writes start from
// an empty file, as if the file had been deleted first.
//
// Every change of the file is made under an exclusive lock on `file` + ".lock" (so writers in
// several processes never lose each other's keys): the file is read, changed in memory, and
// replaced through a work file in the same directory, synced, so a reader sees either the old
// or the new file, never a half-written one. A change that leaves the bytes as they are writes
// nothing. A file that exists but cannot be read, or that this user may not write, is never
// replaced: the write fails and the file keeps its bytes and mode. A symbolic link is followed:
// the file it leads to is the one replaced.
Status writeProfileStrings(Env& env, const std::filesystem::path& file,
                           std::span<const ProfileWrite> writes, bool startEmpty = false);

// Files larger than this are not read (a read gives the defaults) and never rewritten.
inline constexpr std::size_t kMaxProfileBytes = 64u * 1024u * 1024u;

}  // namespace pw
