#pragma once
// A ledger fixture for the main-window tests: no main window is left over from the test
// before, and none outlives this one.

#include "ledger/wndKakeibo.h"
#include "support/LedgerTestFixture.h"

class MainWindowFixture : public LedgerTestFixture
{
protected:
    void SetUp() override
    {
        LedgerTestFixture::SetUp();
        closeWindow();
    }

    void TearDown() override
    {
        closeWindow();
        LedgerTestFixture::TearDown();
    }

    static void closeWindow()
    {
        if (wndKakeibo::exists()) {
            delete wndKakeibo::instance();
        }
    }
};
