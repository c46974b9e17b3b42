// A function library that only lists variables, built several times into the tests' variables
// folder (each copy with its own name prefix, count and path) to fill the trigger dialog's
// variable box from several libraries. WOX_TEST_REFUSE builds one whose enumerator does not
// initialise. Each descriptor's codes differ, so a test sees whether they are kept.

#include <cstdio>

#include "FuncEnum.h"
#include "WoxText.h"

namespace
{
class CTestVariableEnum final : public IFuncEnum
{
public:
    void AddReference() override { ++m_nRef; }
    void Release() override
    {
        if (--m_nRef < 1)
            delete this;
    }
    int Initialize(IWoxLibMgr*, IWoxRegistry*, IWoxErrorReporter*) override { return WOX_TEST_REFUSE ? 0 : 1; }
    int ListFunctions(int nKind, IDynamicPtrTemplate<IArrayExt2> pList, int, int, int) override
    {
        if (!pList || nKind != WOX_FUNCTIONS_STAND)
            return 0;
        for (int k = 0; k < WOX_TEST_VARIABLE_COUNT; ++k)
        {
            SFunctionDescriptor descriptor = {};
            char szName[sizeof descriptor.szVariable];
            std::snprintf(szName, sizeof szName, "%s variable %02d", WOX_TEST_VARIABLE_PREFIX, k);
            WoxCopyText(descriptor.szVariable, szName);
            descriptor.nDescriptorA = WOX_FAMILY_STAND_VARIABLE;
            descriptor.nDescriptorB = k;
            descriptor.nDescriptorC = 1000 + k;
            WoxCopyText(descriptor.szLibrary, WOX_TEST_VARIABLE_LIBRARY);
            descriptor.nFunction = k + 1;
            if (!pList->Add(&descriptor))
                return 0;
        }
        return 1;
    }
    int EvaluateFunction(int32_t, IDynamicPtrTemplate<IInventoryExt>, SFunctionValue*, IDynamicPtrTemplate<IDynamic>) override { return 0; }

private:
    ~CTestVariableEnum() = default;
    int m_nRef = 0;
};
} // namespace

WOX_EXPORT IFuncEnum* CreateFuncEnum(HWOXHEAP) { return new CTestVariableEnum(); }
