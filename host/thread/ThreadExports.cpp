// The Thread Library's exports, looked up by name by the host and the component.
#include "ThreadLibrary.h"

WOX_EXPORT ITdEvent* CreateTdEvent(HWOXHEAP hHeap)
{
    return WoxCreateTdEvent(hHeap);
}

WOX_EXPORT ITdMutex* CreateTdMutex(HWOXHEAP hHeap)
{
    return WoxCreateTdMutex(hHeap);
}
