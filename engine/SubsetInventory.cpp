// The tree filter of a trigger condition: height and diameter bounds, then the species list.

#include "ScenarioImp.h"
#include "ScenarioRecords.h"
#include "WoxText.h"

namespace
{
constexpr size_t kSpeciesWidth = 10;
}

int CScenarioImp::SubsetInventory(SScenarioTriggerSpec* pSpec, IDynamicPtrTemplate<IInventoryExt> pSource,
                                  IDynamicPtrTemplate<IInventoryExt> pTarget)
{
    if (!pSpec || !pTarget)
        return 1;
    pTarget->RemoveAll(0);
    if (!pSource)
        return 1;

    for (int i = 0; i < pSource->GetSize(); ++i)
    {
        const SInventory* pTree = pSource->GetAt(i);
        if (!pTree)
            continue;
        // Inclusive bounds, all four always applied; a comparison with a value that is not a
        // number fails and drops the tree.
        if (!(pSpec->dHeightMin <= pTree->dHeight) || !(pTree->dHeight <= pSpec->dHeightMax))
            continue;
        if (!(pSpec->dDbhMin <= pTree->dDbh) || !(pTree->dDbh <= pSpec->dDbhMax))
            continue;
        if (!SubsetInventorySpp(pTree->szSpecies, pSpec->szSpecies, pSpec->nSpecies, pSpec->bInclude))
            continue;
        pTarget->Add(pTree);
    }
    return 1;
}

int CScenarioImp::SubsetInventorySpp(const char* pszCode, const char (*pList)[10], int32_t nCount, int32_t bInclude)
{
    if (!pList || nCount < 1)
        return 1;
    // Only the 15 codes a condition holds are read, whatever a damaged count says.
    if (nCount > WOX_SCENARIO_MAX_SPECIES)
        nCount = WOX_SCENARIO_MAX_SPECIES;
    const char* pszTree = pszCode ? pszCode : "";
    bool bListed = false;
    for (int32_t k = 0; k < nCount && !bListed; ++k)
        bListed = WoxCompareText(pszTree, pList[k], kSpeciesWidth) == 0;
    return (bInclude ? bListed : !bListed) ? 1 : 0;
}
