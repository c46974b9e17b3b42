#pragma once
// A treatment component wrapped so that the host can time its runs: forwards every operation to
// the wrapped component and adds the time of its RunComponent calls to a counter. Runs of several
// scenarios may call it from their threads at once.

#include <atomic>
#include <chrono>

#include "ComponentInterface.h"

class CTimedTreatment final : public ITreatmentComponent
{
public:
    // Takes over one reference to pInner.
    CTimedTreatment(ITreatmentComponent* pInner, std::atomic<double>* pdSeconds) : m_pInner(pInner), m_pdSeconds(pdSeconds) {}
    CTimedTreatment(const CTimedTreatment&) = delete;
    CTimedTreatment& operator=(const CTimedTreatment&) = delete;

    void AddReference() override { ++m_nRef; }
    void Release() override
    {
        if (--m_nRef < 1)
            delete this;
    }
    int Create(IWoxLibMgr* a, IWoxThreadPool* b, IWoxRegistry* c, IWoxErrorReporter* d, ISpeciesMap* e, ICompMgr* f) override
    {
        return m_pInner->Create(a, b, c, d, e, f);
    }
    void* GetInterface(ENWoxCompInterface nInterface) override
    {
        if (nInterface != WOX_INTERFACE_COMPONENT)
            return m_pInner->GetInterface(nInterface);
        AddReference();
        return static_cast<IComponent*>(this);
    }
    int GetDefaultValues(SComponentValue* p) override { return m_pInner->GetDefaultValues(p); }
    int GetDisplayInfo(SComponentDisplay* p) override { return m_pInner->GetDisplayInfo(p); }
    GUID GetGUID() override { return m_pInner->GetGUID(); }
    ENDesignator GetType() override { return m_pInner->GetType(); }
    int InstallComponent() override { return m_pInner->InstallComponent(); }
    int UninstallComponent() override { return m_pInner->UninstallComponent(); }
    int NeedsInitialConfig() override { return m_pInner->NeedsInitialConfig(); }
    int ReservedOperation(void* p) override { return m_pInner->ReservedOperation(p); }
    int SetupComponent(SComponentData* p, IDynamicPtrTemplate<IArrayExt2> l) override { return m_pInner->SetupComponent(p, l); }
    int ShowComponentConfig(SComponentData* p, int* n) override { return m_pInner->ShowComponentConfig(p, n); }
    int ShowComponentTool(SComponentData* p) override { return m_pInner->ShowComponentTool(p); }
    int HasTool() override { return m_pInner->HasTool(); }
    int RunComponent(SComponentData* pData, SStandMessage* pMessage) override
    {
        auto start = std::chrono::steady_clock::now();
        int nResult = m_pInner->RunComponent(pData, pMessage);
        m_pdSeconds->fetch_add(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), std::memory_order_relaxed);
        return nResult;
    }
    int ShowComponentEditor(SComponentData* p) override { return m_pInner->ShowComponentEditor(p); }
    int ModifyTreatment(SComponentData* p, int n) override { return m_pInner->ModifyTreatment(p, n); }
    int DefineTreatments(SComponentData* p, IDynamicPtrTemplate<IArrayExt2> s, int n) override { return m_pInner->DefineTreatments(p, s, n); }
    int DefineTriggeredTreatment(SComponentData* p, IDynamicPtrTemplate<IArrayExt2> s, int n) override
    {
        return m_pInner->DefineTriggeredTreatment(p, s, n);
    }

private:
    ~CTimedTreatment() { m_pInner->Release(); }
    ITreatmentComponent* m_pInner;
    std::atomic<double>* m_pdSeconds;
    std::atomic<int> m_nRef{0};
};
