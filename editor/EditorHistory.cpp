#include "EditorHistory.h"

#include <cstring>

#include "ScenarioFile.h"

namespace
{
// The same record but for its block handle.
bool SameRecord(const SScenarioTreatment& a, const SScenarioTreatment& b)
{
    SScenarioTreatment x = a, y = b;
    x.treatment.pData = y.treatment.pData = 0;
    return std::memcmp(&x, &y, sizeof x) == 0;
}

const SScenarioTreatment* RecordAt(IArrayExt2* pArray, int nIndex)
{
    return nIndex >= 0 ? static_cast<const SScenarioTreatment*>(pArray->GetAt(nIndex, 0)) : nullptr;
}
} // namespace

SScenarioTreatment CEditorHistory::Owned(const SScenarioTreatment& record) const
{
    SScenarioTreatment copy = record;
    copy.treatment.pData = CopyTreatmentBlock(m_hHeap, record.treatment.pData);
    return copy;
}

void CEditorHistory::Begin(int nRecords)
{
    FreeStep(m_open);
    m_open.nBefore = nRecords;
}

void CEditorHistory::RecordInsert(int nIndex, const SScenarioTreatment& now)
{
    m_open.changes.push_back({EKind::Insert, nIndex, {}, Owned(now), 0, 0});
}

void CEditorHistory::RecordRemove(int nIndex, const SScenarioTreatment& old)
{
    m_open.changes.push_back({EKind::Remove, nIndex, Owned(old), {}, 0, 0});
}

void CEditorHistory::RecordReplace(int nIndex, const SScenarioTreatment& old, const SScenarioTreatment& now)
{
    m_open.changes.push_back({EKind::Replace, nIndex, Owned(old), Owned(now), 0, 0});
}

void CEditorHistory::RecordEndYear(int32_t nOld, int32_t nNew)
{
    if (nOld != nNew)
        m_open.changes.push_back({EKind::EndYear, 0, {}, {}, nOld, nNew});
}

void CEditorHistory::Commit(int nRecords)
{
    if (m_open.changes.empty())
        return;
    m_open.nAfter = nRecords;
    while (m_steps.size() > m_nDone)
    {
        FreeStep(m_steps.back());
        m_steps.pop_back();
    }
    // The file's state was among the dropped steps: no step leads back to it now.
    if (m_nSaved > static_cast<int>(m_nDone))
        m_nSaved = -1;
    m_steps.push_back(std::move(m_open));
    m_open = CStep();
    m_nDone = m_steps.size();
}

void CEditorHistory::Clear(bool bSaved)
{
    FreeStep(m_open);
    for (CStep& step : m_steps)
        FreeStep(step);
    m_steps.clear();
    m_nDone = 0;
    m_nSaved = bSaved ? 0 : -1;
}

void CEditorHistory::FreeStep(CStep& step)
{
    for (SChange& change : step.changes)
    {
        if (m_hHeap)
        {
            m_hHeap->Free(change.before.treatment.pData);
            m_hHeap->Free(change.after.treatment.pData);
        }
    }
    step.changes.clear();
}

bool CEditorHistory::Undo(SScenarioData& scenario, std::vector<SScenarioTreatment>* pTouched, bool* pbEndYear)
{
    if (!CanUndo())
        return false;
    const CStep& step = m_steps[m_nDone - 1];
    if (!scenario.pTreatments || scenario.pTreatments->GetSize() != step.nAfter)
    {
        Clear(false);
        return false;
    }
    for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it)
    {
        if (!Apply(*it, true, scenario, pTouched, pbEndYear))
        {
            Clear(false);
            return false;
        }
    }
    --m_nDone;
    return true;
}

bool CEditorHistory::Redo(SScenarioData& scenario, std::vector<SScenarioTreatment>* pTouched, bool* pbEndYear)
{
    if (!CanRedo())
        return false;
    const CStep& step = m_steps[m_nDone];
    if (!scenario.pTreatments || scenario.pTreatments->GetSize() != step.nBefore)
    {
        Clear(false);
        return false;
    }
    for (const SChange& change : step.changes)
    {
        if (!Apply(change, false, scenario, pTouched, pbEndYear))
        {
            Clear(false);
            return false;
        }
    }
    ++m_nDone;
    return true;
}

bool CEditorHistory::Apply(const SChange& change, bool bUndo, SScenarioData& scenario, std::vector<SScenarioTreatment>* pTouched,
                           bool* pbEndYear)
{
    if (change.nKind == EKind::EndYear)
    {
        const int32_t nExpected = bUndo ? change.nEndAfter : change.nEndBefore;
        if (scenario.info.nEndYear != nExpected)
            return false;
        scenario.info.nEndYear = bUndo ? change.nEndBefore : change.nEndAfter;
        if (pbEndYear)
            *pbEndYear = true;
        return true;
    }
    IArrayExt2* pArray = scenario.pTreatments.Get();
    if (!pArray)
        return false;
    // Undoing an insert removes, undoing a remove inserts; a replace swaps its two records.
    EKind nKind = change.nKind;
    if (bUndo && nKind != EKind::Replace)
        nKind = nKind == EKind::Insert ? EKind::Remove : EKind::Insert;
    const SScenarioTreatment& gone = bUndo ? change.after : change.before;
    const SScenarioTreatment& back = bUndo ? change.before : change.after;

    if (nKind == EKind::Insert)
    {
        if (change.nIndex < 0 || change.nIndex > pArray->GetSize() || !PutRecord(pArray, change.nIndex, back, true))
            return false;
        if (pTouched)
            pTouched->push_back(back);
        return true;
    }
    const SScenarioTreatment* pStored = RecordAt(pArray, change.nIndex);
    if (!pStored || !SameRecord(*pStored, gone))
        return false;
    const SScenarioTreatment stored = *pStored;
    if (nKind == EKind::Remove ? !pArray->RemoveAt(change.nIndex, 1) : !PutRecord(pArray, change.nIndex, back, false))
        return false;
    if (m_hHeap)
        m_hHeap->Free(stored.treatment.pData);
    if (pTouched)
    {
        pTouched->push_back(stored);
        if (nKind == EKind::Replace)
            pTouched->push_back(back);
    }
    return true;
}

bool CEditorHistory::PutRecord(IArrayExt2* pArray, int nIndex, const SScenarioTreatment& record, bool bInsert)
{
    const SScenarioTreatment copy = Owned(record);
    if (record.treatment.pData && !copy.treatment.pData)
        return false;
    bool bDone = false;
    if (!bInsert)
        bDone = pArray->SetAt(nIndex, 0, &copy) != 0;
    else if (pArray->Add(&copy))
    {
        // The array appends only: the records from nIndex on move up one place.
        SScenarioTreatment moved;
        for (int i = pArray->GetSize() - 1; i > nIndex; --i)
        {
            std::memcpy(&moved, pArray->GetAt(i - 1, 0), sizeof moved);
            pArray->SetAt(i, 0, &moved);
        }
        bDone = pArray->SetAt(nIndex, 0, &copy) != 0;
    }
    if (!bDone && m_hHeap)
        m_hHeap->Free(copy.treatment.pData);
    return bDone;
}
