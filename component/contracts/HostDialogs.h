#pragma once
// Dialog objects made by host libraries: the progress dialog (Common Control Library) and the
// species selection dialog (Species Map Library).

#include "Containers.h"
#include "Dynamic.h"
#include "WoxTypes.h"

class IProgressDlg : public IDynamic
{
public:
    virtual int Create(IDynamicPtrTemplate<IDynamic> pReserved) = 0;
    // Ends the progress window; DoModal returns. May be called from any thread.
    virtual void Close() = 0;
    virtual int DoModal() = 0;
    virtual int IsReady() = 0;
    virtual void SetText(const char* pszText) = 0;
    virtual void SetRange(int nLow, int nHigh) = 0;
    virtual void StepIt() = 0;

protected:
    ~IProgressDlg() = default;
};

class ISpeciesSelectDlg : public IDynamic
{
public:
    virtual int Initialize(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, IWoxRegistry* pRegistry, ISpeciesMap* pSpeciesMap,
                           IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<ISpeciesListExt> pChosen, int nReserved) = 0;
    virtual void SetTitle(const char* pszTitle) = 0;
    virtual int DoModal() = 0;
    virtual int GetSelection(IDynamicPtrTemplate<ISpeciesListExt>* ppSelection) = 0;

protected:
    ~ISpeciesSelectDlg() = default;
};

typedef IProgressDlg* (*PFN_CreateProgressDlg)(HWOXWND hParent);
typedef ISpeciesSelectDlg* (*PFN_CreateSpeciesSelectDlg)(HWOXHEAP hHeap, HWOXWND hParent);
