#include "ThreadLibrary.h"

#include <new>

#include "TdEvent.h"
#include "TdMutex.h"

ITdEvent* WoxCreateTdEvent(HWOXHEAP /*hHeap*/)
{
    return new (std::nothrow) CTdEvent;
}

ITdMutex* WoxCreateTdMutex(HWOXHEAP /*hHeap*/)
{
    return new (std::nothrow) CTdMutex;
}
