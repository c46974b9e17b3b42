// The function library's export.

#include <new>

#include "StandFuncEnum.h"

WOX_EXPORT IFuncEnum* CreateFuncEnum(HWOXHEAP) { return new (std::nothrow) CStandFuncEnum(); }
