#pragma once
// The editor base as the editor window uses it, with its modification mark counted and the
// triggered-treatment dialog scripted by the test.

#include <functional>

#include "EditorBase.h"

class CTestEditor final : public CEditorBase
{
public:
    using CEditorBase::CEditorBase;
    SScenarioData& Scenario() { return m_scenario; }

    int m_nModified = 0;
    std::function<int(IArrayExt2& group, IDynamicPtrTemplate<IArrayExt2>& results)> m_onTriggered;

protected:
    void OnScenarioModified() override { ++m_nModified; }
    int EditTriggeredGroup(IDynamicPtrTemplate<IArrayExt2> pGroup, IDynamicPtrTemplate<IArrayExt2>& pResults, std::vector<int>& sources) override
    {
        return m_onTriggered ? m_onTriggered(*pGroup, pResults) : CEditorBase::EditTriggeredGroup(pGroup, pResults, sources);
    }
};
