#pragma once
// "wox edit PROJECT": the Scenario Editor of the scenario component on the project's scenarios,
// opened as the host's tool window with the project's port data, species map, treatment
// components and function library, as a run gets them.

#include <string>

class CWoxHost;

// Opens the Scenario Editor on the project and runs its event loop until the editor closes.
// Needs a Qt application object; an automation handler installed before the call acts on the
// editor's dialogs and message boxes. False with one line in *pError when the project or the
// components cannot be loaded or the editor cannot start.
bool WoxRunScenarioEditor(CWoxHost& host, const std::string& project, std::string* pError);

// The command: argv[0] is "edit", argv[1] the project folder. Answers the process exit code.
int RunEditCommand(CWoxHost& host, int argc, char** argv);
