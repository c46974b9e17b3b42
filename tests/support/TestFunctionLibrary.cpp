// A function library for the engine tests: a few stand variables over a tree list, answering
// integer, text and real values, plus counters of the enumerators made and still alive.

#include <atomic>
#include <cmath>
#include <limits>

#include "FuncEnum.h"
#include "TestFunctionLibrary.h"
#include "WoxText.h"

namespace
{
std::atomic<int> g_nCreated{0};
std::atomic<int> g_nLive{0};
std::atomic<int> g_bRefuseInitialize{0};
// Stands in for the species code of a first tree when the list is empty.
const char kNoSpecies[10] = {};

class CTestFuncEnum final : public IFuncEnum
{
public:
    CTestFuncEnum() { ++g_nLive; }
    CTestFuncEnum(const CTestFuncEnum&) = delete;
    CTestFuncEnum& operator=(const CTestFuncEnum&) = delete;

    void AddReference() override { ++m_nRef; }
    void Release() override
    {
        if (--m_nRef < 1)
            delete this;
    }

    int Initialize(IWoxLibMgr*, IWoxRegistry*, IWoxErrorReporter*) override { return g_bRefuseInitialize ? 0 : 1; }

    int ListFunctions(int, IDynamicPtrTemplate<IArrayExt2> pList, int, int, int) override
    {
        if (!pList)
            return 0;
        static const struct
        {
            int nFunction;
            const char* pszName;
        } kFunctions[] = {{TEST_FUNCTION_STEMS, "Stems"},
                          {TEST_FUNCTION_BASAL_AREA, "Basal Area"},
                          {TEST_FUNCTION_MEAN_HEIGHT, "Mean Height"},
                          {TEST_FUNCTION_FIRST_SPECIES, "First Species"},
                          {TEST_FUNCTION_FIRST_SPECIES_SHARED, "First Species (shared)"},
                          {TEST_FUNCTION_FIRST_CROWN_RATIO, "First Crown Ratio"},
                          {TEST_FUNCTION_MAX_DBH, "Largest Diameter"}};
        for (const auto& function : kFunctions)
        {
            SFunctionDescriptor descriptor = {};
            WoxCopyText(descriptor.szVariable, function.pszName);
            descriptor.nDescriptorA = 5;
            descriptor.nDescriptorB = 1;
            descriptor.nDescriptorC = 9;
            descriptor.nFunction = function.nFunction;
            if (!pList->Add(&descriptor))
                return 0;
        }
        return 1;
    }

    int EvaluateFunction(int32_t nFunction, IDynamicPtrTemplate<IInventoryExt> pTrees, SFunctionValue* pValue,
                         IDynamicPtrTemplate<IDynamic>) override
    {
        if (!pTrees || !pValue)
            return 0;
        const int nTrees = pTrees->GetSize();
        const SInventory* pFirst = nTrees > 0 ? pTrees->GetAt(0) : nullptr;
        switch (nFunction)
        {
        case TEST_FUNCTION_STEMS:
            SetInteger(pValue, nTrees);
            return 1;
        case TEST_FUNCTION_BASAL_AREA:
        {
            double dSum = 0.0;
            for (int i = 0; i < nTrees; ++i)
                if (const SInventory* pTree = pTrees->GetAt(i))
                    dSum += 0.00007853981633974483 * pTree->dDbh * pTree->dDbh * pTree->dTpha;
            SetReal(pValue, dSum);
            return 1;
        }
        case TEST_FUNCTION_MEAN_HEIGHT:
        {
            double dSum = 0.0;
            int nCounted = 0;
            for (int i = 0; i < nTrees; ++i)
                if (const SInventory* pTree = pTrees->GetAt(i))
                {
                    dSum += pTree->dHeight;
                    ++nCounted;
                }
            SetReal(pValue, nCounted ? dSum / nCounted : 0.0);
            return 1;
        }
        case TEST_FUNCTION_FIRST_SPECIES:
        {
            char* pszText = new char[sizeof(pFirst->szSpecies) + 1];
            WoxFieldToString(pszText, sizeof(pFirst->szSpecies) + 1, pFirst ? pFirst->szSpecies : kNoSpecies, sizeof(pFirst->szSpecies));
            SetText(pValue, pszText, 0);
            return 1;
        }
        case TEST_FUNCTION_FIRST_SPECIES_SHARED:
            WoxFieldToString(m_szShared, sizeof(m_szShared), pFirst ? pFirst->szSpecies : kNoSpecies, sizeof(pFirst->szSpecies));
            SetText(pValue, m_szShared, 1);
            return 1;
        case TEST_FUNCTION_FIRST_CROWN_RATIO:
            SetReal(pValue, pFirst ? pFirst->dCrownRatio : std::numeric_limits<double>::quiet_NaN());
            return 1;
        case TEST_FUNCTION_MAX_DBH:
        {
            double dMax = 0.0;
            for (int i = 0; i < nTrees; ++i)
                if (const SInventory* pTree = pTrees->GetAt(i))
                    dMax = std::fmax(dMax, pTree->dDbh);
            SetReal(pValue, dMax);
            return 1;
        }
        default:
            return 0;
        }
    }

private:
    ~CTestFuncEnum() { --g_nLive; }

    static void SetInteger(SFunctionValue* pValue, int32_t n)
    {
        pValue->nType = WOX_VALUE_INTEGER;
        pValue->nValue = n;
        pValue->dValue = -1.0;   // must not be read for an integer
    }
    static void SetReal(SFunctionValue* pValue, double d)
    {
        pValue->nType = WOX_VALUE_REAL;
        pValue->dValue = d;
        pValue->nValue = -1;     // must not be read for a real
    }
    static void SetText(SFunctionValue* pValue, char* pszText, int32_t bBorrowed)
    {
        pValue->nType = WOX_VALUE_TEXT;
        pValue->pszText = pszText;
        pValue->bBorrowed = bBorrowed;
        pValue->dValue = -1.0;
        pValue->nValue = -1;
    }

    int32_t m_nRef = 0;
    char m_szShared[16] = {};
};
}

WOX_EXPORT IFuncEnum* CreateFuncEnum(HWOXHEAP)
{
    ++g_nCreated;
    return new CTestFuncEnum();
}

WOX_EXPORT int TestFuncEnumCreated() { return g_nCreated.load(); }

WOX_EXPORT int TestFuncEnumLive() { return g_nLive.load(); }

WOX_EXPORT void TestFuncEnumRefuseInitialize(int bRefuse) { g_bRefuseInitialize = bRefuse; }
