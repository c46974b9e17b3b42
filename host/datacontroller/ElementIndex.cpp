#include "ElementIndex.h"

#include <algorithm>
#include <cstring>
#include <new>

unsigned char* CElementIndex::NewBlock(size_t nSize)
{
    return new (std::nothrow) unsigned char[nSize]();
}

void CElementIndex::FreeBlock(unsigned char* pBlock)
{
    delete[] pBlock;
}

unsigned char* CElementIndex::TakeBlock(size_t nSize)
{
    if (nSize == m_nSpareSize && !m_spares.empty())
    {
        unsigned char* pBlock = m_spares.back();
        m_spares.pop_back();
        return pBlock;
    }
    // Not zero-filled: every caller copies a whole element in, and zeroing record-sized blocks
    // first would touch every new page twice.
    return new (std::nothrow) unsigned char[nSize];
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
        for (unsigned char* pBlock : m_spares)
            FreeBlock(pBlock);
        m_spares.clear();
        m_nSpareSize = nSize;
    }
    for (size_t i = 0; i < nCount; ++i)
    {
        unsigned char* pBlock = m_slots[m_nGapEnd + i];
        try
        {
            m_spares.push_back(pBlock);
        }
        catch (...)
        {
            FreeBlock(pBlock);
        }
    }
    m_nGapEnd += nCount;
}

void CElementIndex::Clear()
{
    for (size_t i = 0; i < m_nGapStart; ++i)
        FreeBlock(m_slots[i]);
    for (size_t i = m_nGapEnd; i < m_slots.size(); ++i)
        FreeBlock(m_slots[i]);
    for (unsigned char* pBlock : m_spares)
        FreeBlock(pBlock);
    std::vector<unsigned char*>().swap(m_slots);
    std::vector<unsigned char*>().swap(m_spares);
    m_nGapStart = m_nGapEnd = 0;
}
