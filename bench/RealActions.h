#pragma once
// The benchmarked actions on the program's real windows, driven headless with the scripted
// dialog service, as a user would do them.

#include "Scenario.h"

#include <functional>
#include <string>

// Creates the application object, lists the actions on stdout ("ACTION index writes
// writesFile keys", then "READY") and runs "RUN index run" commands from stdin, one run at a
// time: for each, the events its connections recorded, "RESULT ms,ms,... wrong" and "DONE".
// Returns the process's exit code.
int runRealActions(int argc, char **argv, const Scenario &scenario, const std::string &workFolder,
                   const std::string &workLedger, const std::string &only,
                   const std::function<void()> &restoreLedger);
