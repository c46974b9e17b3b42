#pragma once
// The storage behind the arrays: each element lives in its own block, so that its address stays
// fixed until that element is removed, and the blocks are kept in order by a gap buffer of
// pointers. Removing or inserting moves the gap to the place first, so a walk that removes as it
// goes (forwards or backwards) moves each pointer about once in total, and appending is
// amortised O(1). Whole elements are never moved. Not thread-safe: the owning container locks.
//
// Blocks of removed elements are kept as spares for later elements instead of being freed at
// once: freeing thousands of record-sized blocks in a walk makes the allocator hand pages back
// to the system block by block, which costs several times the walk itself. The spares form a
// list threaded through the blocks themselves (every block holds at least a pointer), so a
// removal touches no new memory: on this platform a first touch of a page costs far more than
// the removal. Clear() gives everything back, spares included, in one go.

#include <cstddef>
#include <vector>

class CElementIndex
{
public:
    CElementIndex() = default;
    CElementIndex(const CElementIndex&) = delete;
    CElementIndex& operator=(const CElementIndex&) = delete;
    ~CElementIndex() { Clear(); }

    // A new zero-filled block of nSize bytes, or none when memory is short. It belongs to the
    // caller until handed to Insert (or freed with FreeBlock).
    static unsigned char* NewBlock(size_t nSize);
    static void FreeBlock(unsigned char* pBlock);

    // A block for one element of nSize bytes (a spare when one of that size is kept, else a new
    // one), not initialised: the caller sets all of it. None when memory is short.
    unsigned char* TakeBlock(size_t nSize);

    size_t Size() const { return m_slots.size() - (m_nGapEnd - m_nGapStart); }
    unsigned char* At(size_t nIndex) const
    {
        return nIndex < m_nGapStart ? m_slots[nIndex] : m_slots[nIndex + (m_nGapEnd - m_nGapStart)];
    }

    // Takes ownership of pBlock and puts it before position nIndex (nIndex <= Size()). False
    // when memory is short; the block then stays with the caller.
    bool Insert(size_t nIndex, unsigned char* pBlock);
    bool Append(unsigned char* pBlock) { return Insert(Size(), pBlock); }
    // Makes room for nMore further elements so that appending them cannot fail.
    bool Reserve(size_t nMore);
    // Removes nCount elements from nIndex (the range must lie inside); their blocks of
    // nSize bytes become spares.
    void Erase(size_t nIndex, size_t nCount, size_t nSize);
    // Removes and frees all elements and spares and gives the index's memory back.
    void Clear();
    size_t SpareCount() const { return m_nSpares; }

private:
    void MoveGap(size_t nPosition);
    void FreeSpares();
    bool Grow(size_t nMinGap);

    std::vector<unsigned char*> m_slots; // elements before the gap, the gap, elements after it
    size_t m_nGapStart = 0;
    size_t m_nGapEnd = 0;
    unsigned char* m_pSpares = nullptr; // first spare block; each starts with the next one's address
    size_t m_nSpares = 0;
    size_t m_nSpareSize = 0;              // element size of every spare
};
