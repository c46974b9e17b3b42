#pragma once
// File names for new scenario files: "<folder>/<name>.<extension>", and when that is taken
// "<folder>/<name> (<n>).<extension>" with n = 2, 3, 4, ...
//
// A scenario name is free text, but its file must stay inside the scenario folder and be listed
// by "*.scenario". The name's file form therefore maps, byte by byte (the real name stays in the
// file's header, so the mapping only has to be safe, not reversible):
// - '/', '\\', control characters (below 32, and 127) and the characters Windows forbids in file
//   names (: * ? " < > |) become '_';
// - a leading '.' becomes '_' (no hidden files, no "." or ".." names);
// - bytes 128..255 are Latin-1 characters and are written as their UTF-8 form;
// - the name ends at its terminator or after 50 characters; an empty name becomes "Scenario".

#include <functional>
#include <string>

constexpr const char* WOX_SCENARIO_EXTENSION = "scenario";

// The file-name form of a scenario name field (at most nWidth bytes, terminator optional).
std::string ScenarioFileStem(const char* pszName, size_t nWidth = 50);

// The first free path for a scenario named pszName in pszFolder, or "" when none fits in 260
// characters or no free name is found. fnExists tells whether a path is taken (default: the file
// system).
std::string UniqueScenarioPath(const char* pszFolder, const char* pszName, const char* pszExtension = WOX_SCENARIO_EXTENSION,
                               const std::function<bool(const std::string&)>& fnExists = {});
