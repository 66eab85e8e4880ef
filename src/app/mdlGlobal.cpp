#include "app/mdlGlobal.h"

std::unique_ptr<LedgerConnection> KakeiboDB;
QString gDBfileName;
LookupTable<QString> gDicSisan;
LookupTable<QString> gDicSisyutu;
LookupTable<QString> gDicSyuunyuu;
LookupTable<int32_t> gDicIdIndex;
PageSetup gPS;
strPrtVal gPrinter;
int32_t gSyubetuNo = 0;
strSisanCode gSisanCode;
bool GSisanCodeInit = true;

void resetGlobals()
{
    KakeiboDB.reset();
    gDBfileName.clear();
    gDicSisan.clear();
    gDicSisyutu.clear();
    gDicSyuunyuu.clear();
    gDicIdIndex.clear();
    gPS = PageSetup();
    gPrinter = strPrtVal();
    gSyubetuNo = 0;
    gSisanCode = strSisanCode();
    GSisanCodeInit = true;
}
