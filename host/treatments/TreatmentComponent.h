#pragma once
// The common part of the host's treatment components (type 9): the component operations, the
// Data Controller Library for tree-record arrays, and a RunComponent that fetches the stand's
// trees from the port data, lets the treatment change them, writes them back with
// SetStandInventory and books the removed stems and volume with RecordRemoval. The treatment's
// parameter block is a block on the component heap (pData is its 32-bit handle).
//
// An applied treatment writes "<component name>\t<treatment name>" into the stand message's
// text, so the host can book which treatment it was. Runs on the host thread that calls it.

#include <atomic>
#include <string>
#include <vector>

#include "ComponentInterface.h"
#include "ScenarioData.h"

// The parameter rows a component's dialog shows.
enum class ETreatmentForm
{
    ResidualBasalArea,   // thinning from below
    RemovedShare,        // thinning from above
    Clearcut,            // no parameter rows: every tree is removed
    Planting,            // species, stems per hectare, height
};

class CTreatmentComponent : public ITreatmentComponent
{
public:
    explicit CTreatmentComponent(void* hHeap);
    CTreatmentComponent(const CTreatmentComponent&) = delete;
    CTreatmentComponent& operator=(const CTreatmentComponent&) = delete;

    void AddReference() override;
    void Release() override;
    int Create(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
               ISpeciesMap* pSpeciesMap, ICompMgr* pCompMgr) override;
    void* GetInterface(ENWoxCompInterface nInterface) override;
    int GetDefaultValues(SComponentValue* pValues) override;
    int GetDisplayInfo(SComponentDisplay* pInfo) override;
    ENDesignator GetType() override { return WOX_DESIGNATOR_TREATMENT; }
    int InstallComponent() override { return 1; }
    int UninstallComponent() override { return 1; }
    int NeedsInitialConfig() override { return 0; }
    int SetupComponent(SComponentData*, IDynamicPtrTemplate<IArrayExt2>) override { return 1; }
    int ShowComponentConfig(SComponentData*, int*) override { return 0; }
    int ShowComponentTool(SComponentData*) override { return 0; }
    int HasTool() override { return 0; }
    // Applies the one treatment of the selection in pData to its stand and year.
    int RunComponent(SComponentData* pData, SStandMessage* pMessage) override;
    int ShowComponentEditor(SComponentData*) override { return 0; }
    // The editing side, called on the user-interface thread; each shows the component's dialog
    // and answers non-zero when the user confirmed. Parameter blocks are blocks on the component
    // heap: a block handed in is never written to or freed; a new or changed treatment comes with
    // a new block, which then belongs to the caller.
    // Shows the selection's one treatment and leaves the changed treatment in its place.
    int ModifyTreatment(SComponentData* pData, int nReserved) override;
    // Fills the empty selection with the years (the project's periods up to *pnEndYear), the
    // stands (those in pStands offered checked) and the one treatment the user chose.
    int DefineTreatments(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2> pStands, int nReserved) override;
    // Appends the treatment the user defined to the selection's treatment array.
    int DefineTriggeredTreatment(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2> pStands, int nReserved) override;

    // The display name (also the component part of the stand message text).
    virtual const char* Name() const = 0;
    virtual ETreatmentForm Form() const = 0;
    // Size of the parameter block; a record whose block is missing or shorter than the minimum
    // runs with the defaults, a block between the two sizes keeps the defaults of its missing tail.
    virtual uint32_t ParameterSize() const = 0;
    virtual uint32_t MinimumParameterSize() const { return ParameterSize(); }
    virtual void DefaultParameters(void* pParameters) const = 0;
    // The parameters a record runs with: the defaults, overwritten by the record's block when it
    // holds at least ParameterSize() bytes.
    std::vector<unsigned char> ParametersOf(const void* pBlock, uint32_t nBlockSize) const;
    // Checks parameters before Apply: false with the reason in why when a value is not a finite
    // number or lies beyond what a stand can hold. Species codes are matched without regard to
    // case and rewritten in the catalogue's spelling through pSpeciesMap (when given).
    virtual bool CheckParameters(void* pParameters, ISpeciesMap* pSpeciesMap, std::string& why) const = 0;
    // Changes the trees for the year; false refuses the treatment (nothing is changed).
    virtual bool Apply(std::vector<SInventory>& trees, const void* pParameters, int32_t nYear) const = 0;

protected:
    virtual ~CTreatmentComponent() = default;

private:
    bool MakeInventory(IDynamicPtrTemplate<IInventoryExt>& pTrees) const;
    // The project's period years up to the end year (none when the project cannot tell).
    std::vector<int32_t> ProjectYears(IPortData* pPortData, const int32_t* pnEndYear) const;
    std::vector<std::string> ProjectStands(IPortData* pPortData) const;
    // The treatment of this component with the texts and a new block holding the parameters;
    // false when the heap has no block for them.
    bool MakeTreatment(const std::string& name, const std::string& description, const std::vector<unsigned char>& parameters,
                       STreatmentDataTreatment& treatment);

    IWoxHeap* m_pHeap;
    std::atomic<int> m_nRef{0};
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    ISpeciesMap* m_pSpeciesMap = nullptr;
    PFN_CreateInventoryExt m_pfnCreateInventory = nullptr;
    PFN_CreateStatusExt m_pfnCreateStandList = nullptr;
};
