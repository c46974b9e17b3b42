#pragma once
// The listing of a scenario for people ("wox scenario show"): header, then every record with its
// treatment and, for a triggered record, its conditions and tree filters.

#include <string>

#include "ScenarioDocument.h"

std::string ScenarioToText(const CScenarioDocument& document);
