#pragma once
// The state every window shares for the whole run: the ledger connection, the lookup
// tables, the selection state and the printer settings.

#include "platform/LedgerConnection.h"
#include "platform/LookupTable.h"
#include "platform/PageSetup.h"

#include <QString>

#include <cstdint>
#include <memory>

struct strSisanCode
{
    int32_t SisanRow = 0;
    int32_t SisanId = 0;
};

struct strPrtVal
{
    bool SetupDone = false;
    bool Landscape = false;
    int32_t Resolution = 0;
    int32_t PageHeight = 0;
    int32_t PageWidth = 0;
};

// none, connected, or a connection whose connect failed
extern std::unique_ptr<LedgerConnection> KakeiboDB;
extern QString gDBfileName;
extern LookupTable<QString> gDicSisan;
extern LookupTable<QString> gDicSisyutu;
extern LookupTable<QString> gDicSyuunyuu;
extern LookupTable<int32_t> gDicIdIndex;
extern PageSetup gPS;
extern strPrtVal gPrinter;
extern int32_t gSyubetuNo;
extern strSisanCode gSisanCode;
extern bool GSisanCodeInit;

// Puts every global back to its value at start (tests run many starts in one process).
void resetGlobals();
