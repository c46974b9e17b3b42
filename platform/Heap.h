#pragma once
// The host heap object: zero-filled blocks referenced by 32-bit handles. Thread-safe; a block's
// address stays fixed from Alloc to Free.

#include <memory>
#include <mutex>
#include <vector>

#include "WoxHeap.h"

class CWoxHeap final : public IWoxHeap
{
public:
    CWoxHeap() = default;
    CWoxHeap(const CWoxHeap&) = delete;
    CWoxHeap& operator=(const CWoxHeap&) = delete;
    ~CWoxHeap() = default;

    uint32_t Alloc(uint32_t nSize) override;
    void* Data(uint32_t hBlock) override;
    void Free(uint32_t hBlock) override;
    uint32_t Size(uint32_t hBlock) override;

    // Blocks currently allocated (for leak checks in tests and tools).
    size_t BlockCount();

private:
    struct SBlock
    {
        std::unique_ptr<unsigned char[]> pBytes;
        uint32_t nSize = 0;
        uint32_t nGeneration = 0;
    };
    SBlock* Find(uint32_t hBlock);

    // A handle is (slot index + 1) in its low 24 bits and the slot's generation in the high 8, so
    // a stale handle to a reused slot is refused rather than aliasing the new block.
    std::mutex m_lock;
    std::vector<SBlock> m_blocks;
    std::vector<uint32_t> m_freeSlots;
    size_t m_nLive = 0;
};
