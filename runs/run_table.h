#pragma once

#include "engine/run_frame.h"

namespace pw {

// The four runs of the Start button, for every front end: pages, cross-links, index pages and
// the yearbook.
RunTable pagewrightRuns();

}  // namespace pw
