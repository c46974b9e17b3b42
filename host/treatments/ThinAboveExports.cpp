// The ThinAbove treatment component's exports.

#include <new>

#include "Treatments.h"

WOX_EXPORT int GetComponentCount() { return 1; }

WOX_EXPORT IComponent* CreateComponent(void* hHeap) { return new (std::nothrow) CThinAbove(hHeap); }
