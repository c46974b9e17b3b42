#pragma once
// Function libraries: enumerators of stand variables computed over tree lists.

#include "Containers.h"
#include "Dynamic.h"
#include "WoxTypes.h"

// The typed value a variable function writes. One record serves all conditions of a check.
struct SFunctionValue
{
    int32_t nType;      // 2 = integer, 3 = text, any other = real; 9 before the first evaluation
    int32_t bBorrowed;  // non-zero: the text belongs to the library; 0: the caller frees it (delete[])
    int32_t nValue;
    int32_t nPad;
    double dValue;
    char* pszText;
};
static_assert(offsetof(SFunctionValue, nValue) == 8);
static_assert(offsetof(SFunctionValue, dValue) == 16);
static_assert(offsetof(SFunctionValue, pszText) == 24);

enum : int32_t
{
    WOX_VALUE_INTEGER = 2,
    WOX_VALUE_TEXT = 3,
    WOX_VALUE_REAL = 4,
    WOX_VALUE_UNSET = 9,
};

// How a function enumerator describes one function of its library (328 bytes). A trigger
// condition starts with a copy of it.
struct SFunctionDescriptor
{
    char szVariable[52];
    int32_t nDescriptorA;
    int32_t nDescriptorB;
    int32_t nDescriptorC;
    char szLibrary[260];
    int32_t nFunction;
};
static_assert(sizeof(SFunctionDescriptor) == 328);
static_assert(offsetof(SFunctionDescriptor, nDescriptorA) == 52);
static_assert(offsetof(SFunctionDescriptor, szLibrary) == 64);
static_assert(offsetof(SFunctionDescriptor, nFunction) == 324);

// The kind of functions ListFunctions is asked for: stand variables computed over a list of tree
// records, the ones a trigger condition compares.
enum : int
{
    WOX_FUNCTIONS_STAND = 3,
};

// Descriptor codes of the host's enumerators: nDescriptorA the family (5 = stand variable over
// tree records), nDescriptorB the unit system (1 = metric), nDescriptorC the value type the
// function answers (an SFunctionValue type; 9 = not stated). Callers keep them unchanged.
enum : int32_t
{
    WOX_FAMILY_STAND_VARIABLE = 5,
    WOX_UNITS_METRIC = 1,
};

class IFuncEnum : public IDynamic
{
public:
    virtual int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter) = 0;
    // Appends one SFunctionDescriptor per function of nKind to pList (element size 328); a kind
    // the library does not offer appends nothing and answers 0.
    virtual int ListFunctions(int nKind, IDynamicPtrTemplate<IArrayExt2> pList, int nReserved1, int nReserved2, int nReserved3) = 0;
    virtual int EvaluateFunction(int32_t nFunction, IDynamicPtrTemplate<IInventoryExt> pTrees, SFunctionValue* pValue,
                                 IDynamicPtrTemplate<IDynamic> pReserved) = 0;

protected:
    ~IFuncEnum() = default;
};

typedef IFuncEnum* (*PFN_CreateFuncEnum)(HWOXHEAP hHeap);
