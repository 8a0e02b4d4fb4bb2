#pragma once

#include "engine/run_frame.h"

namespace pw {

// The pages run: one page per record of the data file, written into the destination in file
// order, each named and titled from its record. Honours a stop at each page's event pump.
RunOutcome runPages(RunContext& context);

}  // namespace pw
