#include "ui/uiresources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be expanded outside any namespace.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

void initUiResources() {
    static const bool registered = (registerResources(), true);
    Q_UNUSED(registered);
}
