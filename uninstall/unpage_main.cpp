// unpage: starts the uninstall command that the installer recorded, then ends. It takes no
// arguments, shows nothing and reports nothing.
#include "registry/registry_api.h"
#include "uninstall/form_load.h"

int main() {
    pw::Form_Load(pw::systemRegistry(), pw::startCommandLine);
    return 0;
}
