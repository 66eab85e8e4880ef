// The main window's menu commands: opening and creating a ledger, the two maintenance
// dialogs, the two reports and the printer setup.

#include "ledger/wndKakeibo.h"

bool wndKakeibo::_mnuDBOpen_Action()
{
    return false;
}

bool wndKakeibo::_SisanKoumokuKanri_Action()
{
    return false;
}

bool wndKakeibo::_HimokuKoumokuKanri_Action()
{
    return false;
}

bool wndKakeibo::_mnuKakeiboReport_Action()
{
    return false;
}

bool wndKakeibo::_mnuSisanReport_Action()
{
    return false;
}

bool wndKakeibo::_mnuDBCreate_Action()
{
    return false;
}

bool wndKakeibo::_mnuPrintSetUp_Action()
{
    return false;
}
