#pragma once
// The Scenario Editor's undo history. A step is the list of changes one command made to the open
// scenario: records inserted, removed or overwritten at an index of the treatment array, and the
// end year. The history keeps its own copies of the parameter blocks of every record it holds
// (freed when it drops a step), so undoing never depends on a block the scenario has freed, and
// every record it puts back gets a fresh copy of its block, owned by the scenario from then on.
//
// Before a change is undone or redone the record at its index must be the one the change left
// there (all but the block handle) and the record count the one the step left; otherwise the history is stale and is dropped whole, so it
// never touches records of another file. User-interface thread only.

#include <cstdint>
#include <vector>

#include "ScenarioData.h"

class CEditorHistory
{
public:
    explicit CEditorHistory(HWOXHEAP hHeap) : m_hHeap(hHeap) {}
    ~CEditorHistory() { Clear(false); }
    CEditorHistory(const CEditorHistory&) = delete;
    CEditorHistory& operator=(const CEditorHistory&) = delete;

    // The changes recorded from Begin to Commit form one step; a step without changes is dropped.
    // Committing drops the steps that were undone. nRecords: the scenario's record count then.
    void Begin(int nRecords);
    void RecordInsert(int nIndex, const SScenarioTreatment& now);
    void RecordRemove(int nIndex, const SScenarioTreatment& old);
    void RecordReplace(int nIndex, const SScenarioTreatment& old, const SScenarioTreatment& now);
    void RecordEndYear(int32_t nOld, int32_t nNew);
    void Commit(int nRecords);

    // Drops every step; bSaved tells whether the scenario now equals its file.
    void Clear(bool bSaved);
    // The scenario now equals its file.
    void MarkSaved() { m_nSaved = static_cast<int>(m_nDone); }
    bool IsAtSaved() const { return m_nSaved == static_cast<int>(m_nDone); }
    bool CanUndo() const { return m_nDone > 0; }
    bool CanRedo() const { return m_nDone < m_steps.size(); }
    size_t StepCount() const { return m_steps.size(); }

    // Undoes the last done step (redoes the next undone one) on the scenario. pTouched gets the
    // records removed and put back, for the views; *pbEndYear whether the end year changed.
    // false when there is nothing to do or the history no longer matches the scenario.
    bool Undo(SScenarioData& scenario, std::vector<SScenarioTreatment>* pTouched, bool* pbEndYear);
    bool Redo(SScenarioData& scenario, std::vector<SScenarioTreatment>* pTouched, bool* pbEndYear);

private:
    enum class EKind
    {
        Insert,
        Remove,
        Replace,
        EndYear,
    };
    struct SChange
    {
        EKind nKind;
        int nIndex;
        SScenarioTreatment before;   // Remove, Replace: the record the change took away
        SScenarioTreatment after;    // Insert, Replace: the record the change left
        int32_t nEndBefore, nEndAfter;
    };
    struct CStep
    {
        std::vector<SChange> changes;
        int nBefore = 0, nAfter = 0;   // record counts before and after the step
    };

    // One change forwards (bUndo false) or backwards on the scenario.
    bool Apply(const SChange& change, bool bUndo, SScenarioData& scenario, std::vector<SScenarioTreatment>* pTouched, bool* pbEndYear);
    bool PutRecord(IArrayExt2* pArray, int nIndex, const SScenarioTreatment& record, bool bInsert);
    SScenarioTreatment Owned(const SScenarioTreatment& record) const;
    void FreeStep(CStep& step);

    HWOXHEAP m_hHeap;
    std::vector<CStep> m_steps;
    size_t m_nDone = 0;    // steps done; those after it were undone
    int m_nSaved = 0;      // the number of done steps at which the scenario equals its file, -1 none
    CStep m_open;          // the step being recorded
};
