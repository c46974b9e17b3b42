#pragma once
// The host's side of an explaining run: the trigger observer that turns what the scenario
// component's checks report into trigger_checks rows, and its hand-over to the component.

#include <string>
#include <vector>

#include "TriggerChecks.h"
#include "TriggerObserver.h"

class CWoxHost;
class IScenarioComponent;

// Appends one row per condition a check evaluated (one row for a check that ended before its
// first condition) to the vector it was given. Called on the thread that runs the component;
// nothing thrown leaves it towards the component: a row that could not be kept marks the record
// as incomplete instead.
class CTriggerCheckRecorder final : public ITriggerObserver
{
public:
    explicit CTriggerCheckRecorder(std::vector<STriggerCheckRow>& rows) : m_rows(rows) {}

    void ConditionChecked(const SScenarioTreatment& record, int32_t nYear, const STriggerConditionCheck& check) override;
    void TriggerChecked(const SScenarioTreatment& record, int32_t nYear, ENTriggerCheckEnd nEnd) override;
    void TriggeredTreatmentRun(const SScenarioTreatment& record, int32_t nYear, int32_t bApplied) override;

    // True when memory ran out for a row: the rows then miss checks.
    bool Incomplete() const { return m_bIncomplete; }

private:
    void Condition(const SScenarioTreatment& record, int32_t nYear, const STriggerConditionCheck& check);
    void Checked(const SScenarioTreatment& record, int32_t nYear, ENTriggerCheckEnd nEnd);

    STriggerCheckRow& Begin(const SScenarioTreatment& record, int32_t nYear);

    std::vector<STriggerCheckRow>& m_rows;
    int m_nChecks = 0;
    bool m_bInCheck = false;
    size_t m_nCheckBegin = 0;
    // The rows of the last check that fired until its treatment was run.
    size_t m_nFiredBegin = 0, m_nFiredEnd = 0;
    bool m_bIncomplete = false;
};

// Sets the observer of the loaded scenario component for as long as it lives; clears it after.
class CTriggerObserverScope
{
public:
    CTriggerObserverScope() = default;
    ~CTriggerObserverScope();
    CTriggerObserverScope(const CTriggerObserverScope&) = delete;
    CTriggerObserverScope& operator=(const CTriggerObserverScope&) = delete;

    // False with one line in *pError when the component's module offers no observer.
    bool Set(CWoxHost& host, IScenarioComponent* pComponent, ITriggerObserver* pObserver, std::string* pError);

private:
    PFN_SetTriggerObserver m_pfnSet = nullptr;
    IScenarioComponent* m_pComponent = nullptr;
};
