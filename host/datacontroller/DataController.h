#pragma once
// The Data Controller Library's factories. Each answers a new container with a reference count of
// 0 (the caller's smart pointer adds the first reference), or none when memory is short. The heap
// handle is accepted for the contract's sake; the containers keep their elements themselves.

#include "Containers.h"

IArrayExt2* WoxCreateArrayExt2(HWOXHEAP hHeap);
IInventoryExt* WoxCreateInventoryExt(HWOXHEAP hHeap);
IQueueExt2* WoxCreateQueue2(HWOXHEAP hHeap);
IStatusExt* WoxCreateStatusExt(HWOXHEAP hHeap);
ISpeciesListExt* WoxCreateSpeciesMapExt(HWOXHEAP hHeap);
