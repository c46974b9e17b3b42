#pragma once
// The Species Map Library's species selection dialog: every species of the host's catalogue that
// the species map knows (code, scientific and common name), narrowed by a search text, several
// rows selectable. Species the caller already holds are shown greyed and can still be chosen; the
// caller decides what to do with them. User-interface thread only.

#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "Dialog.h"
#include "HostDialogs.h"
#include "ListCtrl.h"

class QString;

// The window itself, also used directly by the library's tests and screens.
class CSpeciesSelectWindow : public CDialog
{
public:
    explicit CSpeciesSelectWindow(CWnd* pParent = nullptr);
    ~CSpeciesSelectWindow() override;

    // The species offered, and the codes already in the caller's list (compared without case).
    void SetSpecies(std::vector<SSpeciesRecord> species, const std::vector<std::string>& chosen);
    // A caption in place of the template's; empty keeps it.
    void SetCaption(const std::string& caption) { m_caption = caption; }
    // The chosen species in list order; filled by OK.
    const std::vector<SSpeciesRecord>& Selection() const { return m_selection; }

    // True when every word of the search text occurs, without regard to case, in the code, the
    // scientific name or the common name.
    static bool Matches(const SSpeciesRecord& species, const QString& search);

    BOOL OnInitDialog() override;
    // Refuses to close without a chosen species; Cancel closes.
    void OnOK() override;
    BOOL OnNotify(int nIdCtrl, int nCode) override;

    CListCtrl& List() { return m_list; }

private:
    // Lists the species matching the search text; rows chosen before stay chosen.
    void ShowRows();
    // Takes the chosen state of the shown rows into m_chosenRows.
    void RememberSelection();
    void ShowCount();

    CListCtrl m_list;
    std::string m_caption;
    std::vector<SSpeciesRecord> m_species;
    std::set<std::string> m_held;             // upper-case codes the caller holds
    std::vector<int> m_shown;                 // species index of each row
    std::vector<bool> m_chosen;               // one flag for each species, kept while the search hides it
    bool m_bFilling = false;
    std::vector<SSpeciesRecord> m_selection;
};

// The host object made by "CreateSpeciesSelectDlg".
class CSpeciesSelectDlg final : public ISpeciesSelectDlg
{
public:
    CSpeciesSelectDlg(HWOXHEAP hHeap, HWOXWND hParent);
    CSpeciesSelectDlg(const CSpeciesSelectDlg&) = delete;
    CSpeciesSelectDlg& operator=(const CSpeciesSelectDlg&) = delete;

    void AddReference() override;
    void Release() override;
    // Reads the species catalogue the registry names ("General" / "Species Catalogue"), keeps the
    // species the map knows, notes the codes of pChosen and loads the Data Controller Library for
    // the selection list. 0 when any of that fails.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, IWoxRegistry* pRegistry, ISpeciesMap* pSpeciesMap,
                   IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<ISpeciesListExt> pChosen, int nReserved) override;
    void SetTitle(const char* pszTitle) override;
    // 1 when the user chose species and pressed OK.
    int DoModal() override;
    // A new species list with the chosen records; 0 before a confirmed DoModal or when the list
    // cannot be made.
    int GetSelection(IDynamicPtrTemplate<ISpeciesListExt>* ppSelection) override;

private:
    ~CSpeciesSelectDlg() = default;

    std::atomic<int> m_nRef{0};
    HWOXHEAP m_hHeap;
    HWOXWND m_hParent;
    HWOXMODULE m_hDataController = nullptr;
    char m_szDataController[WOX_MAX_PATH] = {};
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    std::string m_title;
    std::vector<SSpeciesRecord> m_species;
    std::vector<std::string> m_held;
    std::vector<SSpeciesRecord> m_selection;
    bool m_bInitialized = false;
    bool m_bConfirmed = false;
};
