#pragma once
// Room for many blocks that a caller is about to allocate and keep (an inventory's tree lists):
// the process heap grows for them in one step, in large pages where the system offers them, so
// that filling them does not stop at every small page the first time it is written. Only a hint:
// where the heap cannot be grown this way (another allocator, as in sanitizer builds, or a heap
// that already has the room) allocation goes on as before. Lives on one thread for the span of
// the allocations; other threads may allocate meanwhile.

#include <cstddef>

class CWoxHeapReserve
{
public:
    explicit CWoxHeapReserve(size_t nBytes);
    ~CWoxHeapReserve();
    CWoxHeapReserve(const CWoxHeapReserve&) = delete;
    CWoxHeapReserve& operator=(const CWoxHeapReserve&) = delete;

private:
    bool m_bPadded = false;   // the heap keeps its growth for the blocks until the destructor
};
