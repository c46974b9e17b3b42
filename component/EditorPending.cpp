#include "ScenarioImp.h"

// The editor operation answers 0 until the Scenario Editor is part of the component.

int CScenarioImp::ShowComponentEditor(SComponentData*) { return 0; }
