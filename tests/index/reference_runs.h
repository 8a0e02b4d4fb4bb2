#pragma once

#include <string>
#include <vector>

// The page-by-page reference implementations of the index and yearbook runs, which the one-pass
// runs are compared with: file by file, quadratic, the rules transcribed as they are written.
namespace pw::reference {

// The lines of a file: CR, LF and CR LF each end a line; a last line without an end counts.
std::vector<std::string> readLines(const std::string& path, bool dataFile = false);

// The index run over `i10` into `i20` (both ending with "/") with the two start markers.
void indexRun(const std::string& i10, const std::string& i20, const std::string& criterionMarker,
              const std::string& textMarker);

// The yearbook run. `stopAtPump` (from 1, 0 never) requests a stop at that record's event
// pump. Returns true when it stopped.
bool yearbookRun(const std::string& data, char separator, const std::string& model,
                 const std::string& d, const std::string& installDir, int stopAtPump = 0);

}  // namespace pw::reference
