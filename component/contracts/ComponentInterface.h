#pragma once
// The host's component interface, the records exchanged with components, and the scenario and
// treatment component interfaces built on it.

#include "Containers.h"
#include "Dynamic.h"
#include "HostServices.h"
#include "PortData.h"
#include "WoxTypes.h"

enum ENWoxCompInterface : int32_t
{
    WOX_INTERFACE_COMPONENT = 0,   // the component's own interface
    WOX_INTERFACE_TOOL = 1,
};

enum ENDesignator : int32_t
{
    WOX_DESIGNATOR_NONE = 0,
    WOX_DESIGNATOR_TREATMENT = 9,
    WOX_DESIGNATOR_SCENARIO = 11,
};

// Filled by GetDisplayInfo; layout shared with the host.
struct SComponentDisplay
{
    char szName[256];
    double dVersion;
    char szAuthor[256];
};
static_assert(sizeof(SComponentDisplay) == 520);
static_assert(offsetof(SComponentDisplay, dVersion) == 256);
static_assert(offsetof(SComponentDisplay, szAuthor) == 264);

// Default values of a component; this host asks for none.
struct SComponentValue
{
    int32_t nReserved[4];
};

// The host record handed to the setup, run and show operations (field order as on the host,
// native pointer sizes). Fields this system does not name stay zero in records it builds.
struct SComponentData
{
    int32_t nReserved0;
    int32_t nReserved1;
    void* pData;            // the receiving component's data block
    int32_t nReserved3;
    int32_t nReserved4;
    int32_t nReserved5;
    int32_t nReserved6;
    IPortData* pPortData;   // the simulation's port data
    int32_t nPassThrough;   // a host value, carried unchanged to treatment components
};

// A stand element handed to a treatment component: the identifier and 6 zero bytes.
struct STreatmentDataStand
{
    char szStand[30];
    char cPad[6];
};
static_assert(sizeof(STreatmentDataStand) == 36);

// The data block a treatment component receives: years (4-byte elements), stands
// (STreatmentDataStand) and treatments (STreatmentDataTreatment, 536 bytes). As a selection to be
// filled by a component, the flags name the parts it is to fill and pnEndYear holds the last year
// it may offer. The arrays are released in the order treatments, stands, years.
struct STreatmentData
{
    STreatmentData() = default;
    STreatmentData(const STreatmentData&) = delete;
    STreatmentData& operator=(const STreatmentData&) = delete;
    ~STreatmentData() { delete pnEndYear; }

    int32_t bYears = 0;
    int32_t bStands = 0;
    int32_t bTreatments = 0;
    int32_t* pnEndYear = nullptr;   // owned by the selection (made with new), none when not asked
    IDynamicPtrTemplate<IArrayExt2> pYears;
    IDynamicPtrTemplate<IArrayExt2> pStands;
    IDynamicPtrTemplate<IArrayExt2> pTreatments;
};

// Operations every host component has, in slot order after AddReference and Release.
class IComponent : public IDynamic
{
public:
    virtual int Create(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
                       ISpeciesMap* pSpeciesMap, ICompMgr* pCompMgr) = 0;
    virtual void* GetInterface(ENWoxCompInterface nInterface) = 0;
    virtual int GetDefaultValues(SComponentValue* pValues) = 0;
    virtual int GetDisplayInfo(SComponentDisplay* pInfo) = 0;
    virtual GUID GetGUID() = 0;
    virtual ENDesignator GetType() = 0;
    virtual int InstallComponent() = 0;
    virtual int UninstallComponent() = 0;
    virtual int NeedsInitialConfig() = 0;
    virtual int ReservedOperation(void*) { return 0; }
    virtual int SetupComponent(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2> pList) = 0;
    virtual int ShowComponentConfig(SComponentData* pData, int* pnResult) = 0;
    virtual int ShowComponentTool(SComponentData* pData) = 0;
    virtual int HasTool() = 0;

protected:
    ~IComponent() = default;
};

// A scenario component (type 11): applies a scenario during a simulation and edits scenarios.
class IScenarioComponent : public IComponent
{
public:
    virtual int RunComponent(SComponentData* pData, IWoxView* pView) = 0;
    virtual int ShowComponentEditor(SComponentData* pData) = 0;

protected:
    ~IScenarioComponent() = default;
};

// A treatment component (type 9): applies one treatment to one stand. Its RunComponent sits in
// the slot of the scenario component's and answers non-zero when the treatment was applied.
class ITreatmentComponent : public IComponent
{
public:
    virtual int RunComponent(SComponentData* pData, SStandMessage* pMessage) = 0;
    virtual int ShowComponentEditor(SComponentData* pData) = 0;
    // pData's data block is an STreatmentData holding one treatment; non-zero = the user changed it.
    virtual int ModifyTreatment(SComponentData* pData, int nReserved) = 0;
    // Fills the empty selection in pData with the years, stands and treatments the user chose.
    virtual int DefineTreatments(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2> pStands, int nReserved) = 0;
    // Fills the selection's treatment array with the treatment part of triggered treatments.
    virtual int DefineTriggeredTreatment(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2> pStands, int nReserved) = 0;

protected:
    ~ITreatmentComponent() = default;
};

typedef int (*PFN_GetComponentCount)();
typedef IComponent* (*PFN_CreateComponent)(void* hHeap);
