#pragma once
// The storage behind the arrays: elements of one fixed size, each in a block of its own whose
// address stays fixed until that element is removed, kept in order by a gap buffer of pointers.
// Removing or inserting moves the gap to the place first, so a walk that removes as it goes
// (forwards or backwards) moves each pointer about once in total, and appending is amortised
// O(1). Whole elements are never moved. Not thread-safe: the owning container locks.
//
// Blocks are cut from chunks that hold many of them, so adding an element costs no allocation
// of its own: a tree list of a thousand records is a handful of allocations, not a thousand.
// Chunks grow geometrically to a few kilobytes, so a list of one element stays small, and then
// jump to kChunkBytes; chunks of the full size are recycled through a pool shared by all arrays
// of the process.
//
// Blocks of removed elements become spares for later elements. They form a list threaded through
// the blocks themselves (every block holds at least a pointer), so a removal touches no new
// memory: on this platform a first touch of a page costs far more than the removal. Clear()
// gives everything back in one go.

#include <cstddef>
#include <cstring>
#include <vector>

class CElementIndex
{
public:
    static constexpr size_t kChunkBytes = 64 * 1024;

    explicit CElementIndex(size_t nElementSize = 0) { SetElementSize(nElementSize); }
    CElementIndex(const CElementIndex&) = delete;
    CElementIndex& operator=(const CElementIndex&) = delete;
    ~CElementIndex() { Clear(); }

    // The size of every element. It can change only while the index is empty (false otherwise).
    bool SetElementSize(size_t nSize);
    size_t ElementSize() const { return m_nElementSize; }

    size_t Size() const { return m_slots.size() - (m_nGapEnd - m_nGapStart); }
    unsigned char* At(size_t nIndex) const
    {
        return nIndex < m_nGapStart ? m_slots[nIndex] : m_slots[nIndex + (m_nGapEnd - m_nGapStart)];
    }

    // Puts a new element before position nIndex (nIndex <= Size()) and answers its block, not
    // initialised: the caller sets all of it. None when memory is short; nothing changes then.
    unsigned char* Insert(size_t nIndex);
    unsigned char* Append()
    {
        // Filling an array: the gap is at the end and a block is at hand, so nothing moves.
        if (m_nGapEnd == m_slots.size() && m_nGapStart < m_nGapEnd && (m_pSpares || m_nFresh))
        {
            unsigned char* pBlock = TakeBlock();
            m_slots[m_nGapStart++] = pBlock;
            return pBlock;
        }
        return Insert(Size());
    }
    // Makes room for nMore further elements, so that inserting them cannot fail.
    bool Reserve(size_t nMore);
    // Removes nCount elements from nIndex (the range must lie inside); their blocks become spares.
    void Erase(size_t nIndex, size_t nCount);
    // Removes all elements and gives all memory back.
    void Clear();
    // Removes all elements but keeps their blocks and the slot array for the next ones, so that a
    // list emptied and filled again (a tree list per condition, the one-element hand-over arrays
    // per record) allocates nothing. More than kKeptBytes of blocks go back as with Clear.
    void RemoveAll();
    static constexpr size_t kKeptBytes = 256 * 1024;
    size_t SpareCount() const { return m_nSpares; }

private:
    void MoveGap(size_t nPosition);
    bool GrowSlots(size_t nMinGap);
    // Ensures nBlocks blocks can be taken without allocating.
    bool ReserveBlocks(size_t nBlocks);
    unsigned char* TakeBlock()
    {
        unsigned char* pBlock;
        if (m_pSpares)
        {
            pBlock = m_pSpares;
            std::memcpy(&m_pSpares, pBlock, sizeof m_pSpares);
            --m_nSpares;
            return pBlock;
        }
        pBlock = m_pFresh;
        m_pFresh += m_nStride;
        --m_nFresh;
        return pBlock;
    }
    void PushSpare(unsigned char* pBlock);

    std::vector<unsigned char*> m_slots; // elements before the gap, the gap, elements after it
    size_t m_nGapStart = 0;
    size_t m_nGapEnd = 0;

    size_t m_nElementSize = 0;
    size_t m_nStride = 0;                // bytes per block: the element, aligned, at least a pointer
    struct SChunk
    {
        unsigned char* pMemory;
        bool bPooled; // kChunkBytes long, goes back to the process's pool
    };
    std::vector<SChunk> m_chunks;
    unsigned char* m_pFresh = nullptr;   // the first never-used block of the newest chunk
    size_t m_nFresh = 0;                 // never-used blocks from m_pFresh on
    size_t m_nNextChunk = 0;             // blocks in the next chunk
    unsigned char* m_pSpares = nullptr;  // first spare block; each starts with the next one's address
    size_t m_nSpares = 0;
};
