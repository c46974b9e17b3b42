#include "ScenarioImp.h"

// The simulation operations answer 0 until the treatment engine is part of the component.

int CScenarioImp::SetupComponent(SComponentData*, IDynamicPtrTemplate<IArrayExt2>) { return 0; }

int CScenarioImp::RunComponent(SComponentData*, IWoxView*) { return 0; }
