#pragma once
// The benchmarked actions as bare SQLite: the statements each user action runs, read into
// plain structs, and for the CSV files the same kind of lines written with plain file calls.

#include "Scenario.h"
#include "TimedAction.h"

#include <string>
#include <vector>

class BareLedger;

// workLedger is the copy the actions run on; outputFolder receives the CSV files.
std::vector<TimedAction> bareActions(BareLedger &db, const Scenario &s, const std::string &workLedger,
                                     const std::string &outputFolder);
