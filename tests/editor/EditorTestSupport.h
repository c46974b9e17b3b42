#pragma once
// Doubles for the editor tests: a port data object of a small project that lists treatment
// components, and a treatment component whose editing side a test scripts. Both live on the
// test's stack and count references so a test can check they were all given back.

#include <functional>
#include <string>
#include <vector>

#include "ComponentInterface.h"
#include "TestPortData.h"
#include "WoxText.h"

// A project of the first year 2025, five-year periods, and the stands given.
class CEditorPortData final : public IPortData, public CTestCounted
{
public:
    std::vector<GUID> m_components;   // listed as treatment components, in this order
    bool m_bListAnswers = true;
    std::vector<std::string> m_stands;
    std::string m_scenarioFolder;

    void AddReference() override { AddRef(); }
    void Release() override { DropRef(); }
    IWoxPortObject* GetPortObject(int) override { return nullptr; }
    int SendStandMessage(SStandMessage) override { return 0; }
    int GetComponentList(int nType, IDynamicPtrTemplate<IArrayExt2> pList, int) override
    {
        if (!m_bListAnswers || !pList)
            return 0;
        for (const GUID& guid : m_components)
        {
            SComponentListEntry entry = {};
            entry.nType = nType;
            entry.guidComponent = guid;
            pList->Add(&entry);
        }
        return 1;
    }
    int GetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int GetProjectInfo(SProjectInfo* pInfo) override
    {
        WoxCopyText(pInfo->szScenarioFolder, m_scenarioFolder.c_str());
        pInfo->nFirstYear = 2025;
        pInfo->nPeriodLength = 5;
        return 1;
    }
    int GetStandList(IDynamicPtrTemplate<IStatusExt> pStands, int) override
    {
        if (!pStands || m_stands.empty())
            return 0;
        for (const std::string& stand : m_stands)
            pStands->Add(stand.c_str());
        return 1;
    }
    int CheckStandMessage(SStandMessage*) override { return 0; }
    int SetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int RecordRemoval(int32_t, const char*, double, double) override { return 0; }
};

// A GUID whose last byte tells test components apart.
inline GUID TestGuid(unsigned char nLast)
{
    GUID guid = {0x7E57C0DE, 0x0001, 0x0002, {1, 2, 3, 4, 5, 6, 7, nLast}};
    return guid;
}

// What a scripted component saw of one editing call.
struct SEditingCall
{
    std::string operation;
    STreatmentData* pSelection = nullptr;
    IPortData* pPortData = nullptr;
    std::vector<std::string> stands;   // the stands handed in
    bool bStandsGiven = false;
};

class CScriptedTreatment final : public ITreatmentComponent, public CTestCounted
{
public:
    CScriptedTreatment(const GUID& guid, std::string name) : m_guid(guid), m_name(std::move(name)) {}

    bool m_bDescribes = true;   // GetDisplayInfo answers
    // Runs in each editing call; its answer is the call's.
    std::function<int(STreatmentData&)> m_onEdit = [](STreatmentData&) { return 1; };
    std::vector<SEditingCall> m_calls;

    void AddReference() override { AddRef(); }
    void Release() override { DropRef(); }
    int Create(IWoxLibMgr*, IWoxThreadPool*, IWoxRegistry*, IWoxErrorReporter*, ISpeciesMap*, ICompMgr*) override { return 1; }
    void* GetInterface(ENWoxCompInterface) override { return nullptr; }
    int GetDefaultValues(SComponentValue*) override { return 1; }
    int GetDisplayInfo(SComponentDisplay* pInfo) override
    {
        if (!m_bDescribes)
            return 0;
        WoxCopyText(pInfo->szName, m_name.c_str());
        return 1;
    }
    GUID GetGUID() override { return m_guid; }
    ENDesignator GetType() override { return WOX_DESIGNATOR_TREATMENT; }
    int InstallComponent() override { return 1; }
    int UninstallComponent() override { return 1; }
    int NeedsInitialConfig() override { return 0; }
    int SetupComponent(SComponentData*, IDynamicPtrTemplate<IArrayExt2>) override { return 1; }
    int ShowComponentConfig(SComponentData*, int*) override { return 0; }
    int ShowComponentTool(SComponentData*) override { return 0; }
    int HasTool() override { return 0; }
    int RunComponent(SComponentData*, SStandMessage*) override { return 0; }
    int ShowComponentEditor(SComponentData*) override { return 0; }
    int ModifyTreatment(SComponentData* pData, int) override { return Edit("ModifyTreatment", pData, nullptr); }
    int DefineTreatments(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2> pStands, int) override
    {
        return Edit("DefineTreatments", pData, &pStands);
    }
    int DefineTriggeredTreatment(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2> pStands, int) override
    {
        return Edit("DefineTriggeredTreatment", pData, &pStands);
    }

private:
    int Edit(const char* pszOperation, SComponentData* pData, IDynamicPtrTemplate<IArrayExt2>* pStands)
    {
        SEditingCall call;
        call.operation = pszOperation;
        call.pSelection = static_cast<STreatmentData*>(pData->pData);
        call.pPortData = pData->pPortData;
        if (pStands && *pStands)
        {
            call.bStandsGiven = true;
            for (int i = 0, n = (*pStands)->GetSize(); i < n; ++i)
                call.stands.push_back(static_cast<const STreatmentDataStand*>((*pStands)->GetAt(i, 0))->szStand);
        }
        m_calls.push_back(call);
        return m_onEdit(*call.pSelection);
    }

    GUID m_guid;
    std::string m_name;
};
