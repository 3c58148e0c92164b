#include "Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must stand outside any namespace.
static void RegisterResources()
{
    Q_INIT_RESOURCE(resources);
}

void InitVeltaroResources()
{
    static const bool done = [] {
        RegisterResources();
        return true;
    }();
    (void)done;
}
