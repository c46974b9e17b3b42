#pragma once
// The stand variable function enumerator: lists the stand variables as 328-byte function
// descriptors naming this library's path and evaluates them over tree lists. Stems and the
// stand density index answer integer values (rounded), the others real values. A function number
// the library does not have is reported to the error reporter (source "stand variables").

#include <atomic>
#include <string>

#include "FuncEnum.h"

// File name of the built function library inside the function directory.
#define WOX_STAND_VARIABLES_LIBRARY "libWoxStandVariables.so"

class CStandFuncEnum final : public IFuncEnum
{
public:
    CStandFuncEnum() = default;
    CStandFuncEnum(const CStandFuncEnum&) = delete;
    CStandFuncEnum& operator=(const CStandFuncEnum&) = delete;

    void AddReference() override;
    void Release() override;
    // Reads the function directory from the registry to name the library in descriptors.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter) override;
    int ListFunctions(int nKind, IDynamicPtrTemplate<IArrayExt2> pList, int nReserved1, int nReserved2, int nReserved3) override;
    int EvaluateFunction(int32_t nFunction, IDynamicPtrTemplate<IInventoryExt> pTrees, SFunctionValue* pValue,
                         IDynamicPtrTemplate<IDynamic> pReserved) override;

private:
    ~CStandFuncEnum() = default;
    std::atomic<int> m_nRef{0};
    std::string m_library = WOX_STAND_VARIABLES_LIBRARY;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
};
