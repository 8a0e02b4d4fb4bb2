#pragma once

#include "engine/run_frame.h"

namespace pw {

// The index pages run: reads every ".htm" page of `i10` once, in listing order, and writes
// into `i20` one page "index_" + criterion + ".htm" per distinct criterion line, listing the
// pages that have it. A stop honoured after any file from the second on writes no index page.
//
// Each page is read whole and then scanned, so the current-file bar and line counter show a
// page once it is read: full, with its number of lines. Progress is shown for the files the
// ProgressPace picks, the last one always.
RunOutcome runIndexPages(RunContext& context);

}  // namespace pw
