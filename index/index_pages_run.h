#pragma once

#include "engine/run_frame.h"

namespace pw {

// The index pages run: reads every ".htm" page of `i10` once, in listing order, and writes
// into `i20` one page "index_" + criterion + ".htm" per distinct criterion line, listing the
// pages that have it. A stop honoured after any file from the second on writes no index page.
//
// The current-file bar shows the bytes of the page read so far against the page's size.
RunOutcome runIndexPages(RunContext& context);

}  // namespace pw
