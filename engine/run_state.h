#pragma once

#include "engine/column_table.h"

namespace pw {

// The state one window (or one command-line process) keeps across runs.
struct RunState {
    // True from the moment a run passes validation until it completes or is stopped.
    bool runInProgress = false;
    // Set by a click during a run, polled by the runs, cleared when the next run starts.
    bool stopRequested = false;
    // The current record; it keeps the last record's values after a run.
    ColumnTable columns;
    // The column whose value becomes the page title: 1 unless a title tag is chosen.
    long long titleColumn = 1;
};

}  // namespace pw
