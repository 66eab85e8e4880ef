#include "app/App.h"

#include "app/LedgerStore.h"
#include "app/ProcessSetup.h"
#include "app/mdlGlobal.h"

App::App(int &argc, char **argv) : QApplication(argc, argv)
{
    installQtTranslation(*this);
}

void App::openHandler()
{
    gDicSisan = LookupTable<QString>();
    gDicSisyutu = LookupTable<QString>();
    gDicSyuunyuu = LookupTable<QString>();
    gDicIdIndex = LookupTable<int32_t>();
    gDBfileName = QString();
    gPS = PageSetup();
    gPrinter.SetupDone = false;
    OpenKakeiboInit();
}
