#pragma once
// The benchmarked actions on the program's real windows, driven headless with the scripted
// dialog service, as a user would do them.

#include "Scenario.h"

#include <functional>
#include <string>

// Creates the application object and times every action whose windows exist; returns the
// process's exit code.
int runRealActions(int argc, char **argv, const Scenario &scenario, const std::string &workFolder,
                   const std::string &workLedger, int runs, const std::string &only,
                   const std::function<void()> &restoreLedger);
