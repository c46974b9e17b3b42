#include "TriggerCheckRecorder.h"

#include "ComponentInterface.h"
#include "Files.h"
#include "Module.h"
#include "ScenarioData.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{
template <size_t N>
std::string Field(const char (&field)[N])
{
    char szText[N + 1];
    WoxFieldToString(szText, sizeof szText, field, N);
    return szText;
}

const char* OperatorText(int32_t nOperator)
{
    switch (nOperator)
    {
    case TRIGGER_LESS:
        return "<";
    case TRIGGER_EQUAL:
        return "=";
    case TRIGGER_GREATER:
        return ">";
    default:
        return "any";
    }
}

const char* OutcomeText(ENTriggerCheckEnd nEnd)
{
    switch (nEnd)
    {
    case TRIGGER_CHECK_FIRES:
        return "fired";
    case TRIGGER_CHECK_FAILS:
        return "condition failed";
    case TRIGGER_CHECK_NO_TREES:
        return "no tree list";
    case TRIGGER_CHECK_NO_FUNCTION:
        return "no function";
    default:
        return "damaged";
    }
}
}

STriggerCheckRow& CTriggerCheckRecorder::Begin(const SScenarioTreatment& record, int32_t nYear)
{
    if (!m_bInCheck)
    {
        m_bInCheck = true;
        ++m_nChecks;
        m_nCheckBegin = m_rows.size();
    }
    STriggerCheckRow& row = m_rows.emplace_back();
    row.nCheck = m_nChecks;
    row.nYear = nYear;
    row.stand = Field(record.szStand);
    row.treatment = Field(record.treatment.szName);
    row.nRecordYear = record.nYear;
    row.nConditions = record.nTriggers;
    return row;
}

void CTriggerCheckRecorder::ConditionChecked(const SScenarioTreatment& record, int32_t nYear, const STriggerConditionCheck& check)
{
    try
    {
        Condition(record, nYear, check);
    }
    catch (...)
    {
        m_bIncomplete = true;
    }
}

void CTriggerCheckRecorder::TriggerChecked(const SScenarioTreatment& record, int32_t nYear, ENTriggerCheckEnd nEnd)
{
    try
    {
        Checked(record, nYear, nEnd);
    }
    catch (...)
    {
        m_bIncomplete = true;
        m_bInCheck = false;
        m_nFiredEnd = m_nFiredBegin;
    }
}

void CTriggerCheckRecorder::Condition(const SScenarioTreatment& record, int32_t nYear, const STriggerConditionCheck& check)
{
    if (check.nCondition < 0 || check.nCondition >= WOX_SCENARIO_MAX_TRIGGERS)
        return;
    const SScenarioTriggerSpec& spec = record.triggers[check.nCondition];
    STriggerCheckRow& row = Begin(record, nYear);
    row.nCondition = check.nCondition + 1;
    row.variable = Field(spec.szVariable);
    for (int32_t k = 0; k < spec.nSpecies && k < WOX_SCENARIO_MAX_SPECIES; ++k)
        row.species += (k ? " " : "") + Field(spec.szSpecies[k]);
    row.bInclude = spec.bInclude != 0;
    row.dDbhMin = spec.dDbhMin;
    row.dDbhMax = spec.dDbhMax;
    row.dHeightMin = spec.dHeightMin;
    row.dHeightMax = spec.dHeightMax;
    row.nTrees = check.nTrees;
    row.dValue = check.dValue;
    if (check.pszText)
        row.valueText = check.pszText;
    row.op = OperatorText(spec.nOperator);
    row.dThreshold = spec.dValue;
    row.bHolds = check.bHolds != 0;
}

void CTriggerCheckRecorder::Checked(const SScenarioTreatment& record, int32_t nYear, ENTriggerCheckEnd nEnd)
{
    if (!m_bInCheck)
        Begin(record, nYear);
    m_bInCheck = false;
    for (size_t i = m_nCheckBegin; i < m_rows.size(); ++i)
    {
        m_rows[i].outcome = OutcomeText(nEnd);
        // Until the treatment is run: a run stopped before the hand-over leaves it so.
        if (nEnd == TRIGGER_CHECK_FIRES)
            m_rows[i].treatmentResult = "run stopped";
    }
    m_nFiredBegin = m_nCheckBegin;
    m_nFiredEnd = nEnd == TRIGGER_CHECK_FIRES ? m_rows.size() : m_nCheckBegin;
}

void CTriggerCheckRecorder::TriggeredTreatmentRun(const SScenarioTreatment&, int32_t, int32_t bApplied)
{
    for (size_t i = m_nFiredBegin; i < m_nFiredEnd; ++i)
        m_rows[i].treatmentResult = bApplied ? "applied" : "not applied";
    m_nFiredEnd = m_nFiredBegin;
}

bool CTriggerObserverScope::Set(CWoxHost& host, IScenarioComponent* pComponent, ITriggerObserver* pObserver, std::string* pError)
{
    const std::string module = WoxRealPath(host.Registry()->Get("Components", "Scenario Component").c_str());
    HWOXMODULE hModule = module.empty() ? nullptr : host.LibMgr()->OpenLibrary(module.c_str());
    m_pfnSet = hModule ? WoxModuleFunction<PFN_SetTriggerObserver>(hModule, "SetTriggerObserver") : nullptr;
    if (!m_pfnSet || !m_pfnSet(pComponent, pObserver))
    {
        m_pfnSet = nullptr;
        if (pError)
            *pError = "the scenario component " + module + " cannot explain its trigger checks";
        return false;
    }
    m_pComponent = pComponent;
    return true;
}

CTriggerObserverScope::~CTriggerObserverScope()
{
    if (m_pfnSet)
        m_pfnSet(m_pComponent, nullptr);
}
