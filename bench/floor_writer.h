#pragma once

#include <string>
#include <vector>

namespace pw::bench {

// The least a program must do to the file system to produce a run's files, done with plain
// system calls so that the benchmark can set each run beside it. A manifest is a text file of
// "size name" lines, listing the files of a run's output (made from a run's own result).
//
// Steps, done in order in one process:
//   new DIR MANIFEST      create each listed file anew and write its size in bytes
//   rename DIR MANIFEST   write each file under a work name, then rename it over its name
//   readrename DIR MANIFEST  read each existing file whole, then replace it as "rename" does
//                         (an update must read the page it replaces)
//   checked DIR MANIFEST  as a careful writer of new files: look the name up, create a locked
//                         work file, write it, rename it to the name
//   linktmp DIR MANIFEST  write each file as an unnamed file (O_TMPFILE), then link it to its name
//   inplace DIR MANIFEST  overwrite each existing file in place (no truncation), then set its size
//   trunc DIR MANIFEST    open each existing file with truncation and write it
//   readlist DIR MANIFEST read each listed file whole
//   readdir DIR           list the directory and read every plain file whole
//   readfile PATH         read one file whole
// With "--calls FILE" first, writes "files calls calls_per_file" to FILE at the end: the system
// calls made on files (directory listings not counted). Returns the process exit status: 0,
// or 1 after printing what failed.
int runFloor(const std::vector<std::string>& args);

}  // namespace pw::bench
