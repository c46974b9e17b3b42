#include "HeapReserve.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>

// Only the C library's own allocator grows the heap the way this relies on.
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define WOX_HEAP_RESERVE 1
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace
{
constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
constexpr size_t kMaxReserve = size_t{1} << 30;
// Below the smallest size the C library maps on its own, so that a probe comes from the heap.
constexpr size_t kProbeBytes = 120 * 1024;
constexpr size_t kMaxProbes = 512;
}
#endif

void WoxReserveHeap(size_t nBytes)
{
#ifdef WOX_HEAP_RESERVE
    static std::mutex s_lock;
    static size_t s_nPad = 0;   // the largest room asked for so far, kept as the heap's pad
    std::lock_guard<std::mutex> guard(s_lock);
    nBytes = std::min(nBytes, kMaxReserve);
    if (nBytes < 2 * kLargePage)
        return;
    // A heap that holds as much free room (its pages in place) serves the blocks as it is.
    const struct mallinfo2 info = mallinfo2();
    if (info.fordblks >= nBytes || (nBytes > s_nPad && mallopt(M_TOP_PAD, static_cast<int>(nBytes)) != 1))
        return;
    s_nPad = std::max(s_nPad, nBytes);
    // Blocks too small to be mapped on their own take up the heap's free room until one makes it
    // grow, by the block and the pad; freed at once, they leave it all as free room that the
    // caller's blocks are cut from.
    const size_t nProbes = std::min(info.fordblks / kProbeBytes + 2, kMaxProbes);
    char* pProbes[kMaxProbes];
    size_t nTaken = 0;
    char* pBefore = static_cast<char*>(sbrk(0));
    char* pAfter = pBefore;
    while (nTaken < nProbes && pAfter == pBefore)
    {
        pProbes[nTaken] = static_cast<char*>(std::malloc(kProbeBytes));
        if (!pProbes[nTaken])
            break;
        pAfter = static_cast<char*>(sbrk(0));
        ++nTaken;
    }
    char* pLast = nTaken ? pProbes[nTaken - 1] : nullptr;
    const bool bGrown = pLast && pBefore != reinterpret_cast<char*>(-1) && pAfter != reinterpret_cast<char*>(-1) && pAfter > pBefore &&
                        static_cast<size_t>(pAfter - pBefore) >= nBytes && pLast + kProbeBytes > pBefore && pLast + kProbeBytes <= pAfter;
    if (bGrown)
    {
        // Large pages only from the first boundary past the bookkeeping the allocator writes
        // behind the block: a small page touched in a span keeps that span in small pages.
        const uintptr_t nFrom = (reinterpret_cast<uintptr_t>(pLast + kProbeBytes) + 64 + kLargePage - 1) & ~(kLargePage - 1);
        const uintptr_t nTo = reinterpret_cast<uintptr_t>(pAfter) & ~(kLargePage - 1);
        if (nTo > nFrom)
            madvise(reinterpret_cast<void*>(nFrom), nTo - nFrom, MADV_HUGEPAGE);
    }
    for (size_t i = 0; i < nTaken; ++i)
        std::free(pProbes[i]);
#else
    (void)nBytes;
#endif
}
