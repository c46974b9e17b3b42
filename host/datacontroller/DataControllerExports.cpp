// The Data Controller Library's exports, looked up by name by the host and the component.
#include "DataController.h"

WOX_EXPORT IArrayExt2* CreateArrayExt2(HWOXHEAP hHeap)
{
    return WoxCreateArrayExt2(hHeap);
}

WOX_EXPORT IInventoryExt* CreateInventoryExt(HWOXHEAP hHeap)
{
    return WoxCreateInventoryExt(hHeap);
}

WOX_EXPORT IQueueExt2* CreateQueue2(HWOXHEAP hHeap)
{
    return WoxCreateQueue2(hHeap);
}

WOX_EXPORT IStatusExt* CreateStatusExt(HWOXHEAP hHeap)
{
    return WoxCreateStatusExt(hHeap);
}

WOX_EXPORT ISpeciesListExt* CreateSpeciesMapExt(HWOXHEAP hHeap)
{
    return WoxCreateSpeciesMapExt(hHeap);
}
