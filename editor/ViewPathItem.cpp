#include "ViewPathItem.h"

#include <cstddef>
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "WoxText.h"

namespace
{

// A path item and the buffer of its label in one block: a fill makes one per shown item, tens of
// thousands, on a pool thread, and the user-interface thread frees them.
struct SPathBlock
{
    SViewPathItem item;   // first: the item's address is the block's
    char szLabel[WOX_REQUEST_TEXT];
};

// Blocks freed by the views wait here for the next ones a task makes, up to a bound, so that a
// long fill reuses memory that is already mapped and warm instead of growing the heap of the
// posting thread while the views free it on theirs. Each thread keeps a small stash and meets
// the others at the pool's lock once per batch, not once per block: a task posting and the
// user-interface thread freeing would otherwise contend for it tens of thousands of times a fill.
// Any thread.
class CPathBlockPool
{
public:
    SPathBlock* Take()
    {
        if constexpr (kKeep == 0)
            return new SPathBlock;
        std::vector<SPathBlock*>& stash = Stash().blocks;
        if (stash.empty())
        {
            std::lock_guard<std::mutex> guard(m_lock);
            const size_t nTake = std::min(kBatch, m_free.size());
            stash.assign(m_free.end() - static_cast<std::ptrdiff_t>(nTake), m_free.end());
            m_free.resize(m_free.size() - nTake);
        }
        if (stash.empty())
            return new SPathBlock;
        SPathBlock* pBlock = stash.back();
        stash.pop_back();
        return pBlock;
    }

    void Give(SPathBlock* pBlock)
    {
        if constexpr (kKeep == 0)
        {
            delete pBlock;
            return;
        }
        std::vector<SPathBlock*>& stash = Stash().blocks;
        stash.push_back(pBlock);
        if (stash.size() >= 2 * kBatch)
            GiveBack(stash, kBatch);
    }

private:
#if defined(__SANITIZE_ADDRESS__)
    // Under AddressSanitizer every block goes back to the heap, so a use after free is caught.
    static constexpr size_t kKeep = 0;
#else
    static constexpr size_t kKeep = 8192;   // about 7 MB: what a paced fill keeps alive
#endif
    static constexpr size_t kBatch = 64;

    // A thread's stash; what it holds when the thread ends goes back to the pool.
    struct SStash
    {
        std::vector<SPathBlock*> blocks;
        ~SStash();
    };
    static SStash& Stash()
    {
        thread_local SStash stash;
        return stash;
    }

    // Hands the last nCount blocks of a stash to the pool; what the pool has no room for is freed.
    void GiveBack(std::vector<SPathBlock*>& stash, size_t nCount)
    {
        const auto first = stash.end() - static_cast<std::ptrdiff_t>(nCount);
        auto kept = first;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            const size_t nRoom = kKeep - std::min(kKeep, m_free.size());
            kept = first + static_cast<std::ptrdiff_t>(std::min(nRoom, nCount));
            m_free.insert(m_free.end(), first, kept);
        }
        for (auto it = kept; it != stash.end(); ++it)
            delete *it;
        stash.erase(first, stash.end());
    }

    std::mutex m_lock;
    std::vector<SPathBlock*> m_free;
};

// Made on first use and never destroyed: a view may free a block while the program ends.
CPathBlockPool& Pool()
{
    static CPathBlockPool* pPool = new CPathBlockPool;
    return *pPool;
}

CPathBlockPool::SStash::~SStash()
{
    if (!blocks.empty())
        Pool().GiveBack(blocks, blocks.size());
}

// The bounded copies zero-fill the key fields, so only the item record is zeroed besides. With a
// label, the item points at the block's own buffer (cut to WOX_REQUEST_TEXT - 1 characters).
SViewPathItem* NewPathItem(const char* pszFirst, const char* pszSecond, const char* pszLabel, char*& pszText, int& nTextSize)
{
    SPathBlock* pBlock = Pool().Take();
    SViewPathItem* pItem = &pBlock->item;
    WoxCopyText(pItem->szFirst, pszFirst);
    WoxCopyText(pItem->szSecond, pszSecond);
    std::memset(static_cast<void*>(&pItem->listItem), 0, sizeof(SViewPathItem) - offsetof(SViewPathItem, listItem));
    pszText = nullptr;
    nTextSize = 0;
    if (pszLabel)
    {
        const size_t nLength = WoxTextLength(pszLabel, WOX_REQUEST_TEXT - 1);
        std::memcpy(pBlock->szLabel, pszLabel, nLength);
        pBlock->szLabel[nLength] = 0;
        pszText = pBlock->szLabel;
        nTextSize = static_cast<int>(nLength + 1);
    }
    return pItem;
}

void FreePathItem(SViewPathItem* pItem)
{
    if (pItem)
        Pool().Give(reinterpret_cast<SPathBlock*>(pItem));
}

void FreeTree(LPARAM lParam) { WoxFreeTreePathItem(reinterpret_cast<SViewPathItem*>(lParam)); }
void FreeGrid(LPARAM lParam) { WoxFreeGridPathItem(reinterpret_cast<SViewPathItem*>(lParam)); }

} // namespace

SViewPathItem* WoxNewTreePathItem(const char* pszFirst, const char* pszSecond, const char* pszLabel)
{
    char* pszText = nullptr;
    int nTextSize = 0;
    SViewPathItem* pItem = NewPathItem(pszFirst, pszSecond, pszLabel, pszText, nTextSize);
    if (pszText)
    {
        pItem->treeItem.mask = TVIF_TEXT;
        pItem->treeItem.pszText = pszText;
        pItem->treeItem.cchTextMax = nTextSize;
    }
    return pItem;
}

SViewPathItem* WoxNewGridPathItem(const char* pszFirst, const char* pszSecond, const char* pszLabel)
{
    char* pszText = nullptr;
    int nTextSize = 0;
    SViewPathItem* pItem = NewPathItem(pszFirst, pszSecond, pszLabel, pszText, nTextSize);
    if (pszText)
    {
        pItem->listItem.mask = LVIF_TEXT;
        pItem->listItem.pszText = pszText;
        pItem->listItem.cchTextMax = nTextSize;
    }
    return pItem;
}

void WoxFreeTreePathItem(SViewPathItem* pItem) { FreePathItem(pItem); }
void WoxFreeGridPathItem(SViewPathItem* pItem) { FreePathItem(pItem); }

BOOL WoxPostTreePathItem(HWOXWND hTree, UINT nMsg, SViewPathItem* pItem)
{
    return PostMessage(hTree, nMsg, 1, reinterpret_cast<LPARAM>(pItem), FreeTree);
}

BOOL WoxPostGridPathItem(HWOXWND hGrid, UINT nMsg, SViewPathItem* pItem)
{
    return PostMessage(hGrid, nMsg, 1, reinterpret_cast<LPARAM>(pItem), FreeGrid);
}

CViewPathRequest::~CViewPathRequest()
{
    if (!m_bOwned)
        return;
    if (m_bTree)
        WoxFreeTreePathItem(m_p);
    else
        WoxFreeGridPathItem(m_p);
}

SViewKeyText::SViewKeyText(const char (&field)[WOX_VIEW_KEY])
{
    WoxFieldToString(sz, sizeof(sz), field, WOX_VIEW_KEY);
}
