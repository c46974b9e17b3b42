#include "ElementIndex.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>

namespace
{
constexpr size_t kAlign = alignof(std::max_align_t);
constexpr size_t kFirstChunkBlocks = 4;
// Chunks above this size are taken at the full size from the pool instead of growing further.
constexpr size_t kSmallChunkBytes = 8 * 1024;

// Full-size chunks given back by emptied arrays, kept for the next arrays of the process. A tree
// list is filled and dropped for every trigger check; without the pool the allocator hands the
// freed pages back to the system and the next list pays a page fault for every page again.
class CChunkPool
{
public:
    static constexpr size_t kMaxKept = 64; // 4 MiB

    static CChunkPool& Instance()
    {
        // Never destroyed: arrays may outlive every static of the process.
        static CChunkPool* s_pPool = new CChunkPool;
        return *s_pPool;
    }

    unsigned char* Take()
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (!m_chunks.empty())
            {
                unsigned char* pChunk = m_chunks.back();
                m_chunks.pop_back();
                return pChunk;
            }
        }
        return new (std::nothrow) unsigned char[CElementIndex::kChunkBytes];
    }

    void Give(unsigned char* pChunk)
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_chunks.size() < kMaxKept)
            {
                m_chunks.push_back(pChunk); // capacity reserved up front: cannot throw
                return;
            }
        }
        delete[] pChunk;
    }

private:
    CChunkPool() { m_chunks.reserve(kMaxKept); }

    std::mutex m_lock;
    std::vector<unsigned char*> m_chunks;
};
}

bool CElementIndex::SetElementSize(size_t nSize)
{
    if (nSize == m_nElementSize)
        return true;
    if (Size() > 0)
        return false;
    Clear();
    m_nElementSize = nSize;
    size_t nBytes = std::max(nSize, sizeof(unsigned char*));
    m_nStride = nBytes > SIZE_MAX - kAlign ? 0 : (nBytes + kAlign - 1) / kAlign * kAlign;
    return true;
}

void CElementIndex::PushSpare(unsigned char* pBlock)
{
    std::memcpy(pBlock, &m_pSpares, sizeof m_pSpares);
    m_pSpares = pBlock;
    ++m_nSpares;
}

bool CElementIndex::ReserveBlocks(size_t nBlocks)
{
    if (m_nStride == 0)
        return false;
    if (m_nSpares + m_nFresh >= nBlocks)
        return true;
    // Elements of more than an eighth of a chunk gain nothing from sharing one: each gets its own
    // allocation, which keeps a walk over large records as regular as a walk over one block.
    const size_t nLargest = m_nStride > kChunkBytes / 8 ? 1 : kChunkBytes / m_nStride;
    size_t nChunk = std::max(std::min(std::max(m_nNextChunk, kFirstChunkBlocks), nLargest), nBlocks - m_nSpares);
    // A list that outgrows a few small chunks goes on in pooled full-size chunks: growing through
    // every size up to the full one would allocate a tree list of a thousand records anew for
    // each trigger check, and the allocator would hand those pages to the system and back each time.
    if (nChunk < nLargest && nChunk * m_nStride > kSmallChunkBytes)
        nChunk = nLargest;
    if (nChunk > SIZE_MAX / m_nStride)
        return false;
    try
    {
        // Grown by doubling: large elements take one chunk each, and a reserve of one more per
        // chunk would move the whole list at every append.
        if (m_chunks.size() == m_chunks.capacity())
            m_chunks.reserve(std::max<size_t>(16, m_chunks.size() * 2));
    }
    catch (...)
    {
        return false;
    }
    // A chunk of the full size comes from the pool; only a larger one (for one element larger than
    // kChunkBytes, or a reservation of many at once) or a small one is allocated directly.
    const bool bPooled = nChunk == nLargest && nLargest > 1;
    unsigned char* pChunk = bPooled ? CChunkPool::Instance().Take() : new (std::nothrow) unsigned char[nChunk * m_nStride];
    if (!pChunk)
        return false;
    m_chunks.push_back({pChunk, bPooled}); // cannot fail after reserve
    // What is left of the previous chunk is not lost: it joins the spares.
    for (; m_nFresh > 0; --m_nFresh, m_pFresh += m_nStride)
        PushSpare(m_pFresh);
    m_pFresh = pChunk;
    m_nFresh = nChunk;
    m_nNextChunk = std::min(nChunk * 2, nLargest);
    return true;
}

void CElementIndex::MoveGap(size_t nPosition)
{
    if (nPosition < m_nGapStart)
    {
        size_t nMove = m_nGapStart - nPosition;
        std::memmove(&m_slots[m_nGapEnd - nMove], &m_slots[nPosition], nMove * sizeof(unsigned char*));
        m_nGapStart -= nMove;
        m_nGapEnd -= nMove;
    }
    else if (nPosition > m_nGapStart)
    {
        size_t nMove = nPosition - m_nGapStart;
        std::memmove(&m_slots[m_nGapStart], &m_slots[m_nGapEnd], nMove * sizeof(unsigned char*));
        m_nGapStart += nMove;
        m_nGapEnd += nMove;
    }
}

bool CElementIndex::GrowSlots(size_t nMinGap)
{
    size_t nSize = Size();
    if (nMinGap > SIZE_MAX / 2 - nSize)
        return false;
    size_t nCapacity = std::max<size_t>({16, m_slots.size() * 2, nSize + nMinGap});
    std::vector<unsigned char*> slots;
    try
    {
        slots.resize(nCapacity);
    }
    catch (...)
    {
        return false;
    }
    // The gap stays where it is and takes all the new room.
    size_t nTail = m_slots.size() - m_nGapEnd;
    std::copy(m_slots.begin(), m_slots.begin() + static_cast<std::ptrdiff_t>(m_nGapStart), slots.begin());
    std::copy(m_slots.end() - static_cast<std::ptrdiff_t>(nTail), m_slots.end(), slots.end() - static_cast<std::ptrdiff_t>(nTail));
    m_slots.swap(slots);
    m_nGapEnd = m_slots.size() - nTail;
    return true;
}

bool CElementIndex::Reserve(size_t nMore)
{
    return (m_nGapEnd - m_nGapStart >= nMore || GrowSlots(nMore)) && ReserveBlocks(nMore);
}

unsigned char* CElementIndex::Insert(size_t nIndex)
{
    if (!Reserve(1))
        return nullptr;
    MoveGap(nIndex);
    unsigned char* pBlock = TakeBlock();
    m_slots[m_nGapStart++] = pBlock;
    return pBlock;
}

void CElementIndex::Erase(size_t nIndex, size_t nCount)
{
    MoveGap(nIndex);
    for (size_t i = 0; i < nCount; ++i)
        PushSpare(m_slots[m_nGapEnd + i]);
    m_nGapEnd += nCount;
}

void CElementIndex::Clear()
{
    for (const SChunk& chunk : m_chunks)
    {
        if (chunk.bPooled)
            CChunkPool::Instance().Give(chunk.pMemory);
        else
            delete[] chunk.pMemory;
    }
    std::vector<SChunk>().swap(m_chunks);
    std::vector<unsigned char*>().swap(m_slots);
    m_nGapStart = m_nGapEnd = 0;
    m_pFresh = m_pSpares = nullptr;
    m_nFresh = m_nSpares = 0;
    m_nNextChunk = 0;
}

void CElementIndex::RemoveAll()
{
    if (Size() > kKeptBytes / (m_nStride ? m_nStride : 1))
    {
        Clear();
        return;
    }
    // Spares are taken last in, first out: pushing the last element's block first gives the next
    // elements the old blocks in their old order.
    for (size_t i = m_slots.size(); i > m_nGapEnd; --i)
        PushSpare(m_slots[i - 1]);
    for (size_t i = m_nGapStart; i > 0; --i)
        PushSpare(m_slots[i - 1]);
    m_nGapStart = 0;
    m_nGapEnd = m_slots.size();
}
