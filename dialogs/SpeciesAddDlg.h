#pragma once
// The species subset dialog: species codes to add to a trigger condition's species list, typed
// (and checked against the host's species map) or picked in the host's species selection dialog
// ("Look Up..."). A condition holds at most 15 codes, none twice: the dialog refuses any code
// that would break that, each refusal in its own message, and keeps what it has. The caller
// reads the added codes after OK. User-interface thread.

#include "Containers.h"
#include "Dialog.h"
#include "Edit.h"
#include "HostServices.h"
#include "ListCtrl.h"

class CSpeciesAddDlg : public CDialog
{
public:
    static constexpr int kMaxCodes = 15;
    static constexpr int kCodeWidth = 10;

    CSpeciesAddDlg(HWOXHEAP hHeap, CWnd* pParent = nullptr);
    ~CSpeciesAddDlg() override;

    // Copies the condition's codes (nExisting of them, at most 15) and loads the Data Controller
    // and Species Map libraries the registry names. 0 when a path is missing or a library does
    // not load; the dialog must then not be shown.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxThreadPool* pThreadPool, ISpeciesMap* pSpeciesMap,
                   IWoxErrorReporter* pErrorReporter, const char (*pExisting)[kCodeWidth], int nExisting);

    int GetAddedCount() const { return m_nAdded; }
    // The added code at nIndex (10 characters, no terminator when full), none out of range.
    const char* GetAddedCode(int nIndex) const;

    BOOL OnInitDialog() override;
    // A typed code is added first; the dialog closes only when that succeeded.
    void OnOK() override;
    BOOL OnCommand(int nId) override;

    CListCtrl& List() { return m_list; }

private:
    // Enter adds the typed code and goes no further.
    class CCodeEdit : public CEdit
    {
    protected:
        void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    };
    // Delete removes the first selected row.
    class CAddedList : public CListCtrl
    {
    protected:
        bool OnWidgetEvent(QObject* pWatched, QEvent* pEvent) override;
    };

    // Adds the code typed in the edit; false (after its message) when it is refused.
    bool AddTypedCode();
    void LookUp();
    void RemoveSelectedRow();
    // True when the code equals an existing or an added one over the field width.
    bool IsListed(const char* pszCode) const;
    void AppendRow(const SSpeciesRecord& record);

    char m_existing[kMaxCodes][kCodeWidth] = {};
    char m_added[kMaxCodes][kCodeWidth] = {};
    CCodeEdit m_codeEdit;
    CAddedList m_list;
    HWOXHEAP m_hHeap;
    HWOXMODULE m_hDataController = nullptr;
    HWOXMODULE m_hSpeciesMapLibrary = nullptr;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxThreadPool* m_pThreadPool = nullptr;
    ISpeciesMap* m_pSpeciesMap = nullptr;
    int32_t m_nExisting = 0;
    int32_t m_nAdded = 0;
    char m_szDataController[WOX_MAX_PATH] = {};
    char m_szSpeciesMapLibrary[WOX_MAX_PATH] = {};
};
