#include "runs/run_table.h"

#include "engine/pages_run.h"
#include "index/index_pages_run.h"
#include "index/yearbook_run.h"
#include "links/hyperlinks_run.h"

namespace pw {

RunTable pagewrightRuns() {
    RunTable runs;
    runs.pages = &runPages;
    runs.hyperlinks = &runHyperlinks;
    runs.indexPages = &runIndexPages;
    runs.yearbook = &runYearbook;
    return runs;
}

}  // namespace pw
