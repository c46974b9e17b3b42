#include "Resources.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace
{
std::mutex g_lock;
std::vector<const SWoxResourceTable*> g_tables;

// The tables as they stand; a table once registered never goes, so the copy stays valid.
std::vector<const SWoxResourceTable*> Tables()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_tables;
}
}

void WoxRegisterResources(const SWoxResourceTable* pTable)
{
    if (!pTable)
        return;
    std::lock_guard<std::mutex> guard(g_lock);
    if (std::find(g_tables.begin(), g_tables.end(), pTable) == g_tables.end())
        g_tables.push_back(pTable);
}

const SWoxDialogTemplate* WoxFindDialogTemplate(int nId)
{
    for (const SWoxResourceTable* pTable : Tables())
        for (int i = 0; i < pTable->nDialogs; ++i)
            if (pTable->pDialogs[i].nId == nId)
                return &pTable->pDialogs[i];
    return nullptr;
}

const SWoxMenuTemplate* WoxFindMenuTemplate(int nId)
{
    for (const SWoxResourceTable* pTable : Tables())
        for (int i = 0; i < pTable->nMenus; ++i)
            if (pTable->pMenus[i].nId == nId)
                return &pTable->pMenus[i];
    return nullptr;
}

QPixmap WoxLoadIconPixmap(int nId, int nSize)
{
    if (nSize < 1)
        return QPixmap();
    for (const SWoxResourceTable* pTable : Tables())
    {
        if (!pTable->pfnDrawIcon)
            continue;
        QPixmap pixmap = pTable->pfnDrawIcon(nId, nSize);
        if (!pixmap.isNull())
            return pixmap;
    }
    return QPixmap();
}
