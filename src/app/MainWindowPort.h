#pragma once
// How the ledger store reaches the main window without depending on it: the main window
// registers a function that returns its one instance (creating it when needed) and enables
// its bookkeeping group.

#include <functional>

void setMainWindowEnabler(std::function<void()> enabler);
// Gets the main window (creating it) and enables its bookkeeping group.
void enableMainWindowBookkeeping();
