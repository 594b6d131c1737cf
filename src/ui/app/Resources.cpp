#include "app/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerAlmanaryResources() {
    Q_INIT_RESOURCE(almanary);
}

namespace almanary {

void initResources() {
    [[maybe_unused]] static const bool registered = (::registerAlmanaryResources(), true);
}

}  // namespace almanary
