#pragma once
// The host heap object: the heap handle given to CreateComponent and to every host factory.
// Variable-size blocks (treatment parameter data) are referenced by 32-bit block handles so that
// a 4-byte file field can carry them on every target.

#include "WoxTypes.h"

class IWoxHeap
{
public:
    // A new zero-filled block of nSize bytes; 0 when it cannot be had. A size of 0 gives 0.
    virtual uint32_t Alloc(uint32_t nSize) = 0;
    // The block's bytes, or none for 0 or a handle that is not (or no longer) allocated.
    virtual void* Data(uint32_t hBlock) = 0;
    // Frees the block; 0 and unknown handles are ignored.
    virtual void Free(uint32_t hBlock) = 0;
    // The block's size in bytes, 0 for an unknown handle.
    virtual uint32_t Size(uint32_t hBlock) = 0;

protected:
    ~IWoxHeap() = default;
};

// The heap handle as every factory takes it.
typedef IWoxHeap* HWOXHEAP;
