#pragma once
// Helpers shared by the report tests: a seeded ledger with entries booked the way the main
// window books them, and readers for the files the reports write.

#include "support/LedgerTestFixture.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

class ReportTest : public LedgerTestFixture
{
protected:
    void SetUp() override;

    // An expense (kind 1) or income (kind 2) entry of a sub-item.
    void addEntry(int year, int month, int day, int32_t account, int kind, int32_t himoku, int64_t amount);
    // Both rows of a transfer from one account to another.
    void addTransfer(int year, int month, int day, int32_t from, int32_t to, int64_t amount);
};

QByteArray readFileBytes(const QString &path);
// The number of pages in a PDF file written by Qt.
int pdfPageCount(const QString &path);
