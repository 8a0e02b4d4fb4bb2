#pragma once

#include "engine/run_frame.h"

namespace pw {

// The hyperlinks run: cross-links the pages of `hyperdir` whose link-tag lines are equal once
// their leading and trailing spaces are removed, by regenerating the link block of every page
// that has partners. Each page is read once to learn its link value and its link text; then
// the pages with partners are rewritten in list order, each with one link per partner in list
// order, exactly as if every page were compared with every other one at its turn (a page
// rewritten earlier is seen with its new content). A stop is honoured at the event pump of
// every page read, which leaves every page untouched, and at the pump before every page
// rewrite, which leaves the pages before it linked and the others untouched. A page that
// cannot be read takes part as a page without link value: it is reported, matches no page and
// is not rewritten. No link written carries the block's markers or the link or text tag's
// start marker (see p_ajoute_lien), so a second run replaces each block it wrote.
RunOutcome runHyperlinks(RunContext& context);

}  // namespace pw
