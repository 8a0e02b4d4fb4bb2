// The main program's build of WinRegistry: failures are shown through the message sink.
#include "registry/win_registry_impl.h"

namespace pw {

void ShowFailures::failed(std::string_view operation, long number) const {
    if (sink) {
        sink("Erreur " + std::string(operation) + " : " + std::to_string(number));
    }
}

template class BasicWinRegistry<ShowFailures>;

}  // namespace pw
