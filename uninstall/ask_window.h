#pragma once

#include <string>

#include "engine/language.h"

namespace pw {

// True when this build of the uninstall program can show a window (it was built with Qt).
bool canShowWindow();

// Shows a small window with `listing` and the question whether to remove Pagewright, No
// chosen by default; true when the person chooses to remove. Closing the window is no.
bool askInWindow(const std::string& listing, Language language);

// Shows `text` (what was removed) in a small window until the person closes it.
void tellInWindow(const std::string& text, Language language);

}  // namespace pw
