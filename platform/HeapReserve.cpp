#include "HeapReserve.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

// Only the C library's own allocator grows the heap the way this relies on.
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define WOX_HEAP_RESERVE 1
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace
{
constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
constexpr size_t kMaxReserve = size_t{1} << 30;
constexpr int kDefaultTopPad = 128 * 1024;   // the C library's own setting
}

CWoxHeapReserve::CWoxHeapReserve(size_t nBytes)
{
#ifdef WOX_HEAP_RESERVE
    nBytes = std::min(nBytes, kMaxReserve);
    if (nBytes < 2 * kLargePage)
        return;
    const size_t nTop = mallinfo2().keepcost;   // free room at the heap's end
    if (nTop >= nBytes || mallopt(M_TOP_PAD, static_cast<int>(nBytes)) != 1)
        return;
    m_bPadded = true;
    // A block just larger than the free room makes the heap grow now, by the block and the pad;
    // freed at once, it leaves all of it as free room that the caller's blocks are cut from.
    char* pBefore = static_cast<char*>(sbrk(0));
    const size_t nProbe = nTop + 64;
    char* pProbe = static_cast<char*>(std::malloc(nProbe));
    void* volatile pKept = pProbe;   // a block nobody reads could be left out by the compiler
    (void)pKept;
    char* pAfter = static_cast<char*>(sbrk(0));
    const bool bGrown = pProbe && pBefore != reinterpret_cast<char*>(-1) && pAfter != reinterpret_cast<char*>(-1) && pAfter > pBefore &&
                        static_cast<size_t>(pAfter - pBefore) >= nBytes && pProbe + nProbe > pBefore && pProbe + nProbe <= pAfter;
    if (bGrown)
    {
        // Large pages only from the first boundary past the bookkeeping the allocator writes
        // behind the block: a small page touched in a span keeps that span in small pages.
        const uintptr_t nFrom = (reinterpret_cast<uintptr_t>(pProbe + nProbe) + 64 + kLargePage - 1) & ~(kLargePage - 1);
        const uintptr_t nTo = reinterpret_cast<uintptr_t>(pAfter) & ~(kLargePage - 1);
        if (nTo > nFrom)
            madvise(reinterpret_cast<void*>(nFrom), nTo - nFrom, MADV_HUGEPAGE);
    }
    std::free(pProbe);
#else
    (void)nBytes;
#endif
}

CWoxHeapReserve::~CWoxHeapReserve()
{
#ifdef WOX_HEAP_RESERVE
    // What the caller left unused goes back to the system with the next release at the heap's end.
    if (m_bPadded)
        mallopt(M_TOP_PAD, kDefaultTopPad);
#endif
}
