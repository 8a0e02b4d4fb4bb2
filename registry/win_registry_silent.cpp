// The uninstaller's build of WinRegistry: failures are silent, and OpenKey leaves its return
// code in the program-wide open result the uninstaller tests.
#include <limits>

#include "registry/win_registry_impl.h"

namespace pw {

std::int16_t& registryOpenResult() {
    static std::int16_t result = 0;
    return result;
}

void SilentFailures::opened(long code) const {
    // A code that does not fit the 16-bit result must still read as a failure.
    registryOpenResult() = (code >= std::numeric_limits<std::int16_t>::min() &&
                            code <= std::numeric_limits<std::int16_t>::max())
                               ? static_cast<std::int16_t>(code)
                               : std::numeric_limits<std::int16_t>::max();
}

template class BasicWinRegistry<SilentFailures>;

}  // namespace pw
