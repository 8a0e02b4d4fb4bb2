#pragma once

#include "engine/run_frame.h"

namespace pw {

// The yearbook run: builds "Index_One_Page.htm" in `i40` from the model `i50` and the data
// file `i30` (separator `i33`), one filled copy of the model's repeated block per record, and
// copies the installation's "Bin/Backgrd.gif" beside it. The page is written once, through a
// work file renamed over it; a stop taken at a record's event pump leaves the page with the
// records finished before it.
//
// The current-file bar shows the lines of the page so far against the page's expected length,
// extrapolated from the growth of the last record; the line text is that line count. Progress
// is shown for the records the ProgressPace picks, the last one always; the event pump and
// the stop check come with every record.
RunOutcome runYearbook(RunContext& context);

}  // namespace pw
