// The main window's menu commands: opening and creating a ledger, the two maintenance
// dialogs, the two reports and the printer setup.

#include "ledger/wndKakeibo.h"

#include "app/LedgerSchema.h"
#include "app/LedgerStore.h"
#include "app/mdlGlobal.h"
#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"
#include "platform/RadioButton.h"
#include "platform/Ui.h"
#include "reports/PageModel.h"
#include "reports/wndPrev.h"

bool wndKakeibo::_mnuDBOpen_Action()
{
    OpenKakeiboDB(gDBfileName);
    if (ledgerConnected()) {
        FullRefresh();
    }
    return true;
}

bool wndKakeibo::_mnuDBCreate_Action()
{
    CreateNewKakeiboDB();
    if (ledgerConnected()) {
        FullRefresh();
    }
    return true;
}

bool wndKakeibo::_SisanKoumokuKanri_Action()
{
    if (!CheckKakeiboDBConnected()) {
        return true;
    }
    {
        dlgSisan dialog(this);
        dialog.runModal();
    }
    GSisanCodeInit = true;
    const bool listed = SetlsbSisanListingFirst() || SetlsbItem(-1);
    // The transfer popup lists accounts: one added or deleted in the dialog must not stay
    // listed (or missing) there, or an entry could be booked to an account that is gone.
    if (m_rbtIdou->value()) {
        fillHimokuPopup(gDicSisan);
    }
    return listed;
}

bool wndKakeibo::_HimokuKoumokuKanri_Action()
{
    if (!CheckKakeiboDBConnected()) {
        return true;
    }
    {
        dlgHimoku dialog(this);
        dialog.runModal();
    }
    GSisanCodeInit = true;
    SetlsbSisan();
    refillHimokuPopup();
    SetPpmLsbHimoku();
    return true;
}

bool wndKakeibo::_mnuKakeiboReport_Action()
{
    if (CheckKakeiboDBConnected()) {
        wndPrev::openReport(kYearlyReport);
    }
    return true;
}

bool wndKakeibo::_mnuSisanReport_Action()
{
    if (CheckKakeiboDBConnected()) {
        wndPrev::openReport(kAssetReport);
    }
    return true;
}

bool wndKakeibo::_mnuPrintSetUp_Action()
{
    PageSetup setup;
    if (Ui::instance().pageSetup(setup)) {
        gPS = PageSetup::fromSetupString(setup.setupString());
        gPrinter.SetupDone = true;
    }
    return true;
}
