#pragma once
// The listing of a scenario for people ("wox scenario show"): header, then every record with its
// treatment and, for a triggered record, its conditions and tree filters.

#include <string>

#include "ScenarioDocument.h"

std::string ScenarioToText(const CScenarioDocument& document);

// A field as the listing shows it: control characters (C0, DEL and C1) as \xNN, so that a name
// cannot move the cursor, clear the screen or fake lines of the output.
std::string ShownText(const char* pField, size_t nWidth);
// "<", "=" or ">"; "?" for an operator the file should not hold.
const char* TriggerOperatorText(int32_t nOperator);
// printf into a string, cut at 511 characters (one line of a listing or a finding).
std::string FormatText(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));
