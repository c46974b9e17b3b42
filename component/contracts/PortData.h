#pragma once
// The simulation's port data object, its treated-stand sub-object and the view that shows stand
// messages.

#include "Containers.h"
#include "Dynamic.h"
#include "WoxTypes.h"

// A stand message: type 9 reports an applied treatment. A freshly constructed record holds
// type 13 and -1 in nValue; a run zero-fills it before use.
struct SStandMessage
{
    int32_t nType = 13;
    char szStand[32] = {};
    int32_t nYear = 0;
    int32_t nValue = -1;
    char szText[256] = {};
};
static_assert(sizeof(SStandMessage) == 300);
static_assert(offsetof(SStandMessage, szStand) == 4);
static_assert(offsetof(SStandMessage, nYear) == 36);
static_assert(offsetof(SStandMessage, nValue) == 40);
static_assert(offsetof(SStandMessage, szText) == 44);

// The host's project information block (2144 bytes). The component reads the scenario folder at
// byte 50 and the years at 1552 and 1556; the other fields are the host's.
struct SProjectInfo
{
    char szProject[50];           // project name
    char szScenarioFolder[260];   // folder holding the project's scenario files
    char szProjectFolder[260];
    char szDatabase[260];
    char szReserved[722];
    int32_t nFirstYear;           // first year of the project
    int32_t nPeriodLength;        // length of one simulation period, in years
    int32_t nPeriods;             // number of periods the host plans to simulate
    int32_t nStands;              // number of stands in the project
    char szReserved2[576];
};
static_assert(sizeof(SProjectInfo) == 2144);
static_assert(offsetof(SProjectInfo, szScenarioFolder) == 50);
static_assert(offsetof(SProjectInfo, nFirstYear) == 1552);
static_assert(offsetof(SProjectInfo, nPeriodLength) == 1556);

// Sub-object 2 of the port data: told of every applied treatment. Held without a reference for
// the length of a run.
class IWoxPortObject
{
public:
    virtual int StandTreated(int32_t nYear, const char* pszStand) = 0;

protected:
    ~IWoxPortObject() = default;
};

class IPortData : public IDynamic
{
public:
    virtual IWoxPortObject* GetPortObject(int nObject) = 0;
    virtual int SendStandMessage(SStandMessage message) = 0;
    // Fills pList (32-byte entries, GUID in bytes 4 to 19) with the installed components of a type.
    virtual int GetComponentList(int nType, IDynamicPtrTemplate<IArrayExt2> pList, int nReserved) = 0;
    virtual int GetStandInventory(IDynamicPtrTemplate<IInventoryExt> pTrees, int32_t nYear, const char* pszStand) = 0;
    // Fills a zero-filled 2144-byte block.
    virtual int GetProjectInfo(SProjectInfo* pInfo) = 0;
    virtual int GetStandList(IDynamicPtrTemplate<IStatusExt> pStands, int nReserved) = 0;
    // Non-zero = the host accepts the message; 0 stops the run.
    virtual int CheckStandMessage(SStandMessage* pMessage) = 0;
    // Host side, for treatment components: replaces the stand's tree records for a year.
    virtual int SetStandInventory(IDynamicPtrTemplate<IInventoryExt> pTrees, int32_t nYear, const char* pszStand) = 0;
    // Host side, for treatment components: books what a treatment removed from a stand.
    virtual int RecordRemoval(int32_t nYear, const char* pszStand, double dStemsPerHa, double dVolumePerHa) = 0;

protected:
    ~IPortData() = default;
};

class IWoxView : public IDynamic
{
public:
    virtual int ShowStandMessage(SStandMessage* pMessage) = 0;

protected:
    ~IWoxView() = default;
};

// One entry of IPortData::GetComponentList.
struct SComponentListEntry
{
    int32_t nType;
    GUID guidComponent;
    char szReserved[12];
};
static_assert(sizeof(SComponentListEntry) == 32);
static_assert(offsetof(SComponentListEntry, guidComponent) == 4);
