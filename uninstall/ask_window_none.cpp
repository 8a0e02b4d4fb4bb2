// The uninstall program built without Qt: it asks on the terminal or not at all.
#include "uninstall/ask_window.h"

namespace pw {

bool canShowWindow() {
    return false;
}

bool askInWindow(const std::string&, Language) {
    return false;
}

void tellInWindow(const std::string&, Language) {}

}  // namespace pw
