#pragma once
// The Thread Library's factories. Each answers a new object with a reference count of 0 (the
// caller's smart pointer adds the first reference), or none. The object must be created
// (Create) before use. Wait handles of these objects may be combined in waits of the same
// library instance only.

#include "ThreadObjects.h"

ITdEvent* WoxCreateTdEvent(HWOXHEAP hHeap);
ITdMutex* WoxCreateTdMutex(HWOXHEAP hHeap);
