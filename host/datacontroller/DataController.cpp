#include "DataController.h"

#include <new>

#include "ArrayExt2.h"
#include "ArrayExtTmp.h"
#include "QueueExt2.h"
#include "StatusExt.h"

IArrayExt2* WoxCreateArrayExt2(HWOXHEAP /*hHeap*/)
{
    return new (std::nothrow) CArrayExt2;
}

IInventoryExt* WoxCreateInventoryExt(HWOXHEAP /*hHeap*/)
{
    return new (std::nothrow) CArrayExtTmp<SInventory>;
}

IQueueExt2* WoxCreateQueue2(HWOXHEAP /*hHeap*/)
{
    return new (std::nothrow) CQueueExt2;
}

IStatusExt* WoxCreateStatusExt(HWOXHEAP /*hHeap*/)
{
    return new (std::nothrow) CStatusExt;
}

ISpeciesListExt* WoxCreateSpeciesMapExt(HWOXHEAP /*hHeap*/)
{
    return new (std::nothrow) CArrayExtTmp<SSpeciesRecord>;
}
