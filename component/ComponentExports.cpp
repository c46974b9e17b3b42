// The component library's only exports.

#include <new>

#include "ScenarioImp.h"

WOX_EXPORT int GetComponentCount() { return 1; }

WOX_EXPORT IComponent* CreateComponent(void* hHeap) { return new (std::nothrow) CScenarioImp(hHeap); }
