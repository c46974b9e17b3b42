// The component library's exports: the two factory functions and the trigger observer's setter.

#include <new>

#include "ScenarioImp.h"

WOX_EXPORT int GetComponentCount() { return 1; }

WOX_EXPORT IComponent* CreateComponent(void* hHeap) { return new (std::nothrow) CScenarioImp(hHeap); }

WOX_EXPORT int SetTriggerObserver(IComponent* pComponent, ITriggerObserver* pObserver)
{
    // Only a component of this module is one of its objects.
    if (!pComponent || pComponent->GetType() != WOX_DESIGNATOR_SCENARIO || !(pComponent->GetGUID() == CScenarioImp::s_guid))
        return 0;
    static_cast<CScenarioImp*>(static_cast<IScenarioComponent*>(pComponent))->SetTriggerObserver(pObserver);
    return 1;
}
