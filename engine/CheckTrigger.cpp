// Trigger evaluation: decides whether every condition of a triggered record holds for its stand.

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "Module.h"
#include "ScenarioImp.h"
#include "ScenarioRecords.h"
#include "WoxText.h"

namespace
{
// The value of one check. Frees a text the function library handed over (not borrowed) whenever
// the text is replaced or the check ends, so no evaluation leaks it.
class CCheckValue
{
public:
    CCheckValue() { Reset(); }
    CCheckValue(const CCheckValue&) = delete;
    CCheckValue& operator=(const CCheckValue&) = delete;
    ~CCheckValue() { FreeText(); }

    SFunctionValue* Get() { return &m_value; }

    void FreeText()
    {
        if (m_value.pszText && !m_value.bBorrowed)
            delete[] m_value.pszText;
        m_value.pszText = nullptr;
    }

    // The value as a double: an integer as is, a text read as a decimal number (0.0 when it does
    // not begin with one or is missing), any other type as the real.
    double AsDouble() const
    {
        switch (m_value.nType)
        {
        case WOX_VALUE_INTEGER:
            return static_cast<double>(m_value.nValue);
        case WOX_VALUE_TEXT:
            return TextAsDouble(m_value.pszText);
        default:
            return m_value.dValue;
        }
    }

private:
    void Reset()
    {
        m_value.nType = WOX_VALUE_UNSET;
        m_value.bBorrowed = 0;
        m_value.nValue = 0;
        m_value.nPad = 0;
        m_value.dValue = 0.0;
        m_value.pszText = nullptr;
    }

    // Reads the leading number of a text. The decimal point is always '.', whatever the locale
    // of the host process; leading blanks and a '+' sign are accepted as a C conversion would.
    static double TextAsDouble(const char* pszText)
    {
        if (!pszText)
            return 0.0;
        const char* p = pszText;
        while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
            ++p;
        if (*p == '+' && p[1] != '-')
            ++p;
        const char* pEnd = p + std::strlen(p);
        double d = 0.0;
        auto result = std::from_chars(p, pEnd, d);
        if (result.ec == std::errc::result_out_of_range)
            return std::strtod(p, nullptr);   // overflow to infinity, underflow to zero
        if (result.ec != std::errc())
            return 0.0;
        return d;
    }

    SFunctionValue m_value;
};

// Tells the run's trigger observer, when there is one, how the check ended: with the reason set
// last when it returns early.
class CCheckEnd
{
public:
    CCheckEnd(ITriggerObserver* pObserver, const SScenarioTreatment* pRecord, int32_t nYear)
        : m_pObserver(pRecord ? pObserver : nullptr), m_pRecord(pRecord), m_nYear(nYear)
    {
    }
    CCheckEnd(const CCheckEnd&) = delete;
    CCheckEnd& operator=(const CCheckEnd&) = delete;
    ~CCheckEnd()
    {
        if (m_pObserver)
            m_pObserver->TriggerChecked(*m_pRecord, m_nYear, m_nEnd);
    }

    void Set(ENTriggerCheckEnd nEnd) { m_nEnd = nEnd; }

private:
    ITriggerObserver* m_pObserver;
    const SScenarioTreatment* m_pRecord;
    int32_t m_nYear;
    ENTriggerCheckEnd m_nEnd = TRIGGER_CHECK_NO_TREES;
};

// The operator table: "<" fails at or above the threshold, "=" fails on any difference, ">" fails
// at or below it; unknown codes always hold. Written as failure tests so that a value that is not
// a number passes "<" and ">" and fails "=".
bool ConditionHolds(int32_t nOperator, double dVariable, double dThreshold)
{
    switch (nOperator)
    {
    case 0:
        return !(dVariable >= dThreshold);
    case 1:
        return !(dVariable != dThreshold);
    case 2:
        return !(dVariable <= dThreshold);
    default:
        return true;
    }
}
}

int CScenarioImp::CheckTrigger(IDynamicPtrTemplate<IPortData> pPortData, SScenarioTreatment* pRecord, int32_t nYear)
{
    CCheckValue value;
    IDynamicPtrTemplate<IFuncEnum> pEnum;
    IDynamicPtrTemplate<IInventoryExt> pTrees;
    IDynamicPtrTemplate<IInventoryExt> pSubset;

    if (!pPortData || !pRecord)
        return 0;
    CCheckEnd end(m_pTriggerObserver, pRecord, nYear);
    // A count outside 0..15 comes only from a damaged file: such a record never applies.
    if (pRecord->nTriggers < 0 || pRecord->nTriggers > WOX_SCENARIO_MAX_TRIGGERS)
    {
        end.Set(TRIGGER_CHECK_DAMAGED);
        return 0;
    }
    if (!CreateArrayExt(pTrees) || !CreateArrayExt(pSubset))
        return 0;

    char szStand[sizeof(pRecord->szStand) + 1];
    WoxFieldToString(szStand, sizeof(szStand), pRecord->szStand, sizeof(pRecord->szStand));
    if (!pPortData->GetStandInventory(pTrees, nYear, szStand))
        return 0;
    end.Set(TRIGGER_CHECK_NO_FUNCTION);

    for (int32_t i = 0; i < pRecord->nTriggers && i < WOX_SCENARIO_MAX_TRIGGERS; ++i)
    {
        SScenarioTriggerSpec* pSpec = &pRecord->triggers[i];

        char szLibrary[sizeof(pSpec->szLibrary) + 1];
        WoxFieldToString(szLibrary, sizeof(szLibrary), pSpec->szLibrary, sizeof(pSpec->szLibrary));
        HWOXMODULE hLibrary = m_pLibMgr ? m_pLibMgr->OpenLibrary(szLibrary) : nullptr;
        if (!hLibrary)
            return 0;
        // Libraries are never unloaded, so the factory of the library last used is kept.
        if (hLibrary != m_hFunctionLibrary)
        {
            m_pfnCreateFuncEnum = WoxModuleFunction<PFN_CreateFuncEnum>(hLibrary, "CreateFuncEnum");
            m_hFunctionLibrary = hLibrary;
        }
        if (!m_pfnCreateFuncEnum)
            return 0;
        // Every condition gets an enumerator of its own; the previous one is released here.
        pEnum = m_pfnCreateFuncEnum(static_cast<HWOXHEAP>(m_hHeap));
        if (!pEnum || !pEnum->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter))
            return 0;

        SubsetInventory(pSpec, pTrees, pSubset);
        if (!pEnum->EvaluateFunction(pSpec->nFunction, pSubset, value.Get(), IDynamicPtrTemplate<IDynamic>()))
            return 0;
        const double dVariable = value.AsDouble();
        const bool bHolds = ConditionHolds(pSpec->nOperator, dVariable, pSpec->dValue);
        if (m_pTriggerObserver)
        {
            const SFunctionValue* pValue = value.Get();
            const STriggerConditionCheck check = {i, pSubset->GetSize(), pValue->nType,
                                                  pValue->nType == WOX_VALUE_TEXT ? pValue->pszText : nullptr, dVariable, bHolds ? 1 : 0};
            m_pTriggerObserver->ConditionChecked(*pRecord, nYear, check);
        }
        value.FreeText();
        if (!bHolds)
        {
            end.Set(TRIGGER_CHECK_FAILS);
            return 0;
        }
    }
    end.Set(TRIGGER_CHECK_FIRES);
    return 1;
}
