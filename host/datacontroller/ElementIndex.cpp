#include "ElementIndex.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
// Every block can hold the spare list's link.
size_t BlockBytes(size_t nSize) { return std::max(nSize, sizeof(unsigned char*)); }
}

unsigned char* CElementIndex::NewBlock(size_t nSize)
{
    return new (std::nothrow) unsigned char[BlockBytes(nSize)]();
}

void CElementIndex::FreeBlock(unsigned char* pBlock)
{
    delete[] pBlock;
}

unsigned char* CElementIndex::TakeBlock(size_t nSize)
{
    if (nSize == m_nSpareSize && m_pSpares)
    {
        unsigned char* pBlock = m_pSpares;
        std::memcpy(&m_pSpares, pBlock, sizeof m_pSpares);
        --m_nSpares;
        return pBlock;
    }
    // Not zero-filled: every caller copies a whole element in, and zeroing record-sized blocks
    // first would touch every new page twice.
    return new (std::nothrow) unsigned char[BlockBytes(nSize)];
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

bool CElementIndex::Grow(size_t nMinGap)
{
    size_t nSize = Size();
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
    return m_nGapEnd - m_nGapStart >= nMore || Grow(nMore);
}

bool CElementIndex::Insert(size_t nIndex, unsigned char* pBlock)
{
    if (m_nGapStart == m_nGapEnd && !Grow(1))
        return false;
    MoveGap(nIndex);
    m_slots[m_nGapStart++] = pBlock;
    return true;
}

void CElementIndex::Erase(size_t nIndex, size_t nCount, size_t nSize)
{
    MoveGap(nIndex);
    if (nSize != m_nSpareSize)
    {
        FreeSpares();
        m_nSpareSize = nSize;
    }
    for (size_t i = 0; i < nCount; ++i)
    {
        unsigned char* pBlock = m_slots[m_nGapEnd + i];
        std::memcpy(pBlock, &m_pSpares, sizeof m_pSpares);
        m_pSpares = pBlock;
        ++m_nSpares;
    }
    m_nGapEnd += nCount;
}

void CElementIndex::Clear()
{
    for (size_t i = 0; i < m_nGapStart; ++i)
        FreeBlock(m_slots[i]);
    for (size_t i = m_nGapEnd; i < m_slots.size(); ++i)
        FreeBlock(m_slots[i]);
    FreeSpares();
    std::vector<unsigned char*>().swap(m_slots);
    m_nGapStart = m_nGapEnd = 0;
}

void CElementIndex::FreeSpares()
{
    while (m_pSpares)
    {
        unsigned char* pBlock = m_pSpares;
        std::memcpy(&m_pSpares, pBlock, sizeof m_pSpares);
        FreeBlock(pBlock);
    }
    m_nSpares = 0;
}
