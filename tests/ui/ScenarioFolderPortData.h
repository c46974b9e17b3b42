#pragma once
// A port data object that only knows the project's scenario folder: GetProjectInfo fills it at
// byte 50, everything else answers 0. Thread-safe (the Open Scenario task calls it from a pool
// thread). Kept on the test's stack; counts references so a test can check they were all given
// back.

#include <atomic>
#include <functional>
#include <string>

#include "PortData.h"
#include "WoxText.h"

class CScenarioFolderPortData final : public IPortData
{
public:
    explicit CScenarioFolderPortData(std::string folder, bool bAnswer = true) : m_folder(std::move(folder)), m_bAnswer(bAnswer) {}

    int RefCount() const { return m_nRef.load(); }
    int InfoCalls() const { return m_nInfoCalls.load(); }

    void AddReference() override { ++m_nRef; }
    void Release() override { --m_nRef; }
    IWoxPortObject* GetPortObject(int) override { return nullptr; }
    int SendStandMessage(SStandMessage) override { return 0; }
    int GetComponentList(int, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
    int GetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int GetProjectInfo(SProjectInfo* pInfo) override
    {
        ++m_nInfoCalls;
        if (m_onInfo)
            m_onInfo();
        if (!m_bAnswer)
            return 0;
        WoxCopyText(pInfo->szProject, "Test project");
        WoxCopyText(pInfo->szScenarioFolder, m_folder.c_str());
        pInfo->nFirstYear = m_nFirstYear;
        pInfo->nPeriodLength = m_nPeriodLength;
        return 1;
    }
    int GetStandList(IDynamicPtrTemplate<IStatusExt>, int) override { return 0; }
    int CheckStandMessage(SStandMessage*) override { return 0; }
    int SetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int RecordRemoval(int32_t, const char*, double, double) override { return 0; }

    // Runs inside every GetProjectInfo, on the caller's thread.
    std::function<void()> m_onInfo;
    int m_nFirstYear = 2000;
    int m_nPeriodLength = 5;

private:
    std::string m_folder;
    bool m_bAnswer;
    std::atomic<int> m_nRef{0};
    std::atomic<int> m_nInfoCalls{0};
};
