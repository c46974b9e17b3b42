#include "StandFuncEnum.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "StandVariables.h"
#include "WoxText.h"

void CStandFuncEnum::AddReference() { ++m_nRef; }

void CStandFuncEnum::Release()
{
    if (--m_nRef < 1)
        delete this;
}

int CStandFuncEnum::Initialize(IWoxLibMgr*, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter)
{
    m_pErrorReporter = pErrorReporter;
    char szFolder[WOX_MAX_PATH] = {};
    if (pRegistry && pRegistry->ReadString("General", "Function Directory", szFolder, sizeof szFolder))
        m_library = std::string(szFolder) + "/" WOX_STAND_VARIABLES_LIBRARY;
    return 1;
}

int CStandFuncEnum::ListFunctions(int nKind, IDynamicPtrTemplate<IArrayExt2> pList, int, int, int)
{
    if (!pList || nKind != WOX_FUNCTIONS_STAND)
        return 0;
    for (const SStandVariableInfo& variable : StandVariables())
    {
        SFunctionDescriptor descriptor = {};
        WoxCopyText(descriptor.szVariable, variable.pszName);
        descriptor.nDescriptorA = WOX_FAMILY_STAND_VARIABLE;
        descriptor.nDescriptorB = WOX_UNITS_METRIC;
        descriptor.nDescriptorC = variable.bInteger ? WOX_VALUE_INTEGER : WOX_VALUE_REAL;
        WoxCopyText(descriptor.szLibrary, m_library.c_str());
        descriptor.nFunction = variable.nVariable;
        if (!pList->Add(&descriptor))
            return 0;
    }
    return 1;
}

int CStandFuncEnum::EvaluateFunction(int32_t nFunction, IDynamicPtrTemplate<IInventoryExt> pTrees, SFunctionValue* pValue,
                                     IDynamicPtrTemplate<IDynamic>)
{
    if (!pTrees || !pValue)
        return 0;
    const SStandVariableInfo* pInfo = nullptr;
    for (const SStandVariableInfo& variable : StandVariables())
        if (variable.nVariable == nFunction)
            pInfo = &variable;
    if (!pInfo)
    {
        if (m_pErrorReporter)
            m_pErrorReporter->ReportError("stand variables", ("no function " + std::to_string(nFunction) + " in " + m_library).c_str());
        return 0;
    }
    std::vector<SInventory> trees;
    int nSize = pTrees->GetSize();
    trees.reserve(static_cast<size_t>(nSize > 0 ? nSize : 0));
    for (int i = 0; i < nSize; ++i)
        if (const SInventory* pTree = pTrees->GetAt(i))
            trees.push_back(*pTree);
    double dValue = ComputeStandVariable(pInfo->nVariable, trees);
    if (pInfo->bInteger)
    {
        pValue->nType = WOX_VALUE_INTEGER;
        pValue->nValue = static_cast<int32_t>(std::lround(std::min(dValue, 2.0e9)));
        pValue->dValue = 0.0;
    }
    else
    {
        pValue->nType = WOX_VALUE_REAL;
        pValue->dValue = dValue;
        pValue->nValue = 0;
    }
    return 1;
}
