#pragma once
// The scenario files of a project's scenarios folder as the Open Scenario dialog would list them
// (name from the header; files that do not open are left out), read without changing any file:
// a version 3.0 file is converted in memory only.

#include <string>
#include <vector>

#include "WoxHeap.h"

struct SScenarioListEntry
{
    std::string name;   // the scenario's name (info.szName)
    std::string path;
};

// Sorted by path.
std::vector<SScenarioListEntry> ListScenarioFiles(HWOXHEAP hHeap, const std::string& folder);

// The entries named exactly name.
std::vector<SScenarioListEntry> ScenariosNamed(const std::vector<SScenarioListEntry>& entries, const std::string& name);
