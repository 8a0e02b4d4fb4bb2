#include "registry/hive_registry.h"

namespace pw {

RegistryApi& systemRegistry() {
    static HiveRegistry registry;
    return registry;
}

}  // namespace pw
