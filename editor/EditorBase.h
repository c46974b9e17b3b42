#pragma once
// The data controller of the Scenario Editor window and the Triggered Treatment Definition
// dialog (both derive from it): the host services handed to the editor, the scenario being
// edited with its treatment array, and the Data Controller Library that makes the arrays. It
// builds the selections from which new treatments are made, lists the treatment types, finds and
// compares records, and drives the modification of existing ones. Every operation answers 0 on
// failure and shows no message itself. User-interface thread; the treatment array is shared with
// the editor's tasks, which is safe because the host array locks itself.

#include <vector>

#include "ComponentInterface.h"
#include "Containers.h"
#include "HostServices.h"
#include "PortData.h"
#include "ScenarioData.h"

class CEditorBase
{
public:
    explicit CEditorBase(HWOXHEAP hHeap);
    virtual ~CEditorBase();
    CEditorBase(const CEditorBase&) = delete;
    CEditorBase& operator=(const CEditorBase&) = delete;

    // Stores the services (a reference on the port object) and loads the Data Controller
    // Library the registry names. 0 when the path is missing or the library does not load.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, ICompMgr* pCompMgr, IWoxThreadPool* pThreadPool, ISpeciesMap* pSpeciesMap,
                   IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<IPortData> pPortData);

    // New arrays from the Data Controller Library, held in pArray (what it held is released).
    int CreateComponentArray(IDynamicPtrTemplate<IArrayExt2>& pArray);       // 32-byte component entries
    int CreateYearArray(IDynamicPtrTemplate<IArrayExt2>& pArray);            // 4-byte years
    int CreateTreatmentArray(IDynamicPtrTemplate<IArrayExt2>& pArray);       // SScenarioTreatment; loads the library when needed
    int CreateStandArray(IDynamicPtrTemplate<IArrayExt2>& pArray);           // STreatmentDataStand
    int CreateTreatmentDataArray(IDynamicPtrTemplate<IArrayExt2>& pArray);   // STreatmentDataTreatment, also treatment-type entries

    // Fills pList (made by CreateTreatmentDataArray) with one STreatmentTypeEntry per treatment
    // component: those the project lists, then those only the scenario's records use.
    int BuildTreatmentTypes(IDynamicPtrTemplate<IArrayExt2>& pList);

    // Lets the user choose a treatment type (without asking when there is only one) and lets that
    // component fill pSelection with years, stands and treatments; pStands are the stands selected
    // in the view. 1 when the component confirmed. Parameter blocks of the filled treatments
    // belong to the caller.
    int SelectNormalTreatments(STreatmentData* pSelection, IDynamicPtrTemplate<IArrayExt2> pStands);
    // As SelectNormalTreatments, for the treatment part of triggered treatments only.
    int SelectTriggeredTreatments(STreatmentData* pSelection);

    // Modifies each record of pRecords (SScenarioTreatment elements, copies of scenario records):
    // a normal record through its treatment component, a triggered record with every record of the
    // same triggers through the triggered-treatment dialog. 1 when all records were handled.
    int ModifyTreatments(IArrayExt2* pRecords);

    // Add Treatment > Triggered...: opens the triggered treatment dialog for a new triggered
    // treatment. 1 after OK with the new records (one per stand and treatment) in pRecords, 0
    // after Cancel, -1 when the dialog cannot be initialised.
    int DefineTriggeredTreatments(IDynamicPtrTemplate<IArrayExt2>& pRecords);

    // The same conditions: count, and per condition library, variable, threshold, operator, tree
    // bounds and listed species codes, and the same end year. The species mode and the species
    // counts themselves are not compared.
    static bool SameTriggers(const SScenarioTreatment& a, const SScenarioTreatment& b);
    // The first element of pArray with the record's year, end year, stand, treatment name and
    // component; its index in *pnIndex.
    static bool FindTreatment(IArrayExt2* pArray, const SScenarioTreatment& record, int* pnIndex);

protected:
    // The scenario's records changed; the editor window marks its title.
    virtual void OnScenarioModified() {}
    // Opens the triggered-treatment dialog on a group of records with the same triggers; on OK
    // pResults holds the changed records. Answers 1 for OK, 0 for Cancel, -1 when the dialog
    // cannot be initialised.
    // pSources gets, per result, the index in pGroup of the record it was made from; left empty,
    // each result is matched to the group by FindTreatment. Group records no result was made from
    // are removed from the scenario.
    virtual int EditTriggeredGroup(IDynamicPtrTemplate<IArrayExt2> pGroup, IDynamicPtrTemplate<IArrayExt2>& pResults,
                                   std::vector<int>& sources);
    // A stored record at nIndex was overwritten by now (it was old). Frees the block old held
    // unless now keeps it; the editor window also remembers the change for undo.
    virtual void OnRecordReplaced(int nIndex, const SScenarioTreatment& old, const SScenarioTreatment& now);
    // The stored record old was removed from nIndex. Frees its block.
    virtual void OnRecordRemoved(int nIndex, const SScenarioTreatment& old);

    HWOXHEAP m_hHeap;
    HWOXMODULE m_hDataController = nullptr;
    ICompMgr* m_pCompMgr = nullptr;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxThreadPool* m_pThreadPool = nullptr;
    IDynamicPtrTemplate<IPortData> m_pPortData;
    ISpeciesMap* m_pSpeciesMap = nullptr;
    SScenarioData m_scenario;
    char m_szDataController[WOX_MAX_PATH] = {};

private:
    int CreateArray(int nElementSize, IDynamicPtrTemplate<IArrayExt2>& pArray);
    // Chooses the treatment type and answers its component, or none.
    IDynamicPtrTemplate<IDynamic> ChooseTreatmentComponent();
    // Hands a normal record's treatment to its component and writes a confirmed change back.
    void ModifyNormalTreatment(const SScenarioTreatment& record);
    int ModifyTriggeredTreatment(const SScenarioTreatment& record);
    // Runs the triggered treatment dialog on pSource (none = a new treatment); as EditTriggeredGroup.
    int RunTriggeredDialog(IArrayExt2* pSource, int bEditMode, IDynamicPtrTemplate<IArrayExt2>& pResults, std::vector<int>* pSources);
};

// An element of the list BuildTreatmentTypes fills (536 bytes, the treatment-data element size).
struct STreatmentTypeEntry
{
    GUID guidComponent;
    SComponentDisplay display;
};
static_assert(sizeof(STreatmentTypeEntry) == sizeof(STreatmentDataTreatment));
