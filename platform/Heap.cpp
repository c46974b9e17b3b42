#include "Heap.h"

#include <new>

namespace
{
constexpr uint32_t kIndexBits = 24;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
}

uint32_t CWoxHeap::Alloc(uint32_t nSize)
{
    if (nSize == 0)
        return 0;
    std::unique_ptr<unsigned char[]> pBytes(new (std::nothrow) unsigned char[nSize]());
    if (!pBytes)
        return 0;
    std::lock_guard<std::mutex> guard(m_lock);
    uint32_t nSlot;
    if (!m_freeSlots.empty())
    {
        nSlot = m_freeSlots.back();
        m_freeSlots.pop_back();
    }
    else
    {
        if (m_blocks.size() >= kIndexMask)
            return 0;
        nSlot = static_cast<uint32_t>(m_blocks.size());
        m_blocks.emplace_back();
    }
    SBlock& block = m_blocks[nSlot];
    block.pBytes = std::move(pBytes);
    block.nSize = nSize;
    ++m_nLive;
    return ((block.nGeneration & 0xFF) << kIndexBits) | (nSlot + 1);
}

CWoxHeap::SBlock* CWoxHeap::Find(uint32_t hBlock)
{
    uint32_t nIndex = hBlock & kIndexMask;
    if (nIndex == 0 || nIndex > m_blocks.size())
        return nullptr;
    SBlock& block = m_blocks[nIndex - 1];
    if (!block.pBytes || (block.nGeneration & 0xFF) != (hBlock >> kIndexBits))
        return nullptr;
    return &block;
}

void* CWoxHeap::Data(uint32_t hBlock)
{
    std::lock_guard<std::mutex> guard(m_lock);
    SBlock* pBlock = Find(hBlock);
    return pBlock ? pBlock->pBytes.get() : nullptr;
}

uint32_t CWoxHeap::Size(uint32_t hBlock)
{
    std::lock_guard<std::mutex> guard(m_lock);
    SBlock* pBlock = Find(hBlock);
    return pBlock ? pBlock->nSize : 0;
}

void CWoxHeap::Free(uint32_t hBlock)
{
    std::unique_ptr<unsigned char[]> pBytes;  // freed after the lock is dropped
    std::lock_guard<std::mutex> guard(m_lock);
    SBlock* pBlock = Find(hBlock);
    if (!pBlock)
        return;
    pBytes = std::move(pBlock->pBytes);
    pBlock->nSize = 0;
    ++pBlock->nGeneration;
    m_freeSlots.push_back((hBlock & kIndexMask) - 1);
    --m_nLive;
}

size_t CWoxHeap::BlockCount()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nLive;
}
