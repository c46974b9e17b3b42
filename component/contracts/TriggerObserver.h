#pragma once
// An observer of a run's trigger checks. The host may hand one to the scenario component (the
// module export SetTriggerObserver) to learn, for every triggered record tried, the very values
// each condition compared and how the record fared. Without one the run only tests a pointer.
// Called on the thread that runs the component; the records and texts passed are valid for the
// call only.

#include <cstdint>

class IComponent;
struct SScenarioTreatment;

// One condition as the check evaluated it.
struct STriggerConditionCheck
{
    int32_t nCondition;    // index among the record's conditions
    int32_t nTrees;        // trees that passed the condition's filter
    int32_t nValueType;    // the function's value type: 2 integer, 3 text, any other real
    const char* pszText;   // the text of a text value, else none
    double dValue;         // the value as compared
    int32_t bHolds;
};

// How a check ended.
enum ENTriggerCheckEnd : int32_t
{
    TRIGGER_CHECK_FIRES = 0,         // every condition held
    TRIGGER_CHECK_FAILS = 1,         // a condition did not hold; later ones were not evaluated
    TRIGGER_CHECK_NO_TREES = 2,      // no tree list could be had for the stand
    TRIGGER_CHECK_NO_FUNCTION = 3,   // a function library or its function did not answer
    TRIGGER_CHECK_DAMAGED = 4,       // the record holds more conditions than a record can
};

class ITriggerObserver
{
public:
    // Each condition the check evaluated, in order.
    virtual void ConditionChecked(const SScenarioTreatment& record, int32_t nYear, const STriggerConditionCheck& check) = 0;
    // Once per check, after its conditions.
    virtual void TriggerChecked(const SScenarioTreatment& record, int32_t nYear, ENTriggerCheckEnd nEnd) = 0;
    // After a record that fired was handed to its treatment component: non-zero when applied.
    virtual void TriggeredTreatmentRun(const SScenarioTreatment& record, int32_t nYear, int32_t bApplied) = 0;

protected:
    ~ITriggerObserver() = default;
};

// The scenario component module's export: sets (or with none, clears) the observer of a component
// the module made. 0 when the component is not one of the module's.
typedef int (*PFN_SetTriggerObserver)(IComponent* pComponent, ITriggerObserver* pObserver);
