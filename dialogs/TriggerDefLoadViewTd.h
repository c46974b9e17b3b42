#pragma once
// The trigger definition dialog's background task: asks every function library of the host's
// function directory, in the order the file search gives them, for its stand variables and
// appends their descriptors to the dialog's array, then posts one item per descriptor to the
// variable box, so item i is descriptor i. The first variable is selected first; the stored
// variable of the condition, when a library still lists it, ends up selected. A library that
// does not load, lacks "CreateFuncEnum" or whose enumerator does not initialise is skipped
// without a word. Libraries stay loaded; each is loaded once per run. Runs on a pool thread;
// never touches the box itself.

#include "Containers.h"
#include "ScenarioData.h"
#include "ThreadBase.h"
#include "Wnd.h"

class CTriggerDefLoadViewTd final : public CWoxThreadBase
{
public:
    explicit CTriggerDefLoadViewTd(HWOXHEAP hHeap);
    // Stops a run in progress and waits for it, then lets go of the array.
    ~CTriggerDefLoadViewTd() override;

    // InitThread, keeps the box and the array, copies the condition and reads the function
    // directory ("General" / "Function Directory"). 0 when any of that fails. Dialog thread.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, const SScenarioTriggerSpec* pSpec,
                   HWOXWND hVariableBox, IDynamicPtrTemplate<IArrayExt2> pVariables);

    int RunThread() override;

private:
    // True when the descriptor names the condition's variable: same library path, same first
    // descriptor code, same variable name.
    bool IsStoredVariable(const SScenarioTriggerSpec& descriptor) const;

    HWOXWND m_hVariableBox = 0;
    IDynamicPtrTemplate<IArrayExt2> m_pVariables;
    SScenarioTriggerSpec m_spec;
    char m_szFunctionDirectory[WOX_MAX_PATH] = {};
};
