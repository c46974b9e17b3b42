#pragma once
// "wox demo-project DIR": writes the deterministic demo forest into DIR and its three scenarios
// (made from the JSON files of examples/ with "wox scenario import") into DIR/scenarios.

#include <string>

class CHostContext;

// The folder holding the demo scenarios' JSON files.
std::string DemoExamplesFolder();

int RunDemoProjectCommand(CHostContext& host, int argc, char** argv);
