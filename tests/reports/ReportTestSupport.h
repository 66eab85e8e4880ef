#pragma once
// Helpers shared by the report tests: a seeded ledger with entries booked the way the main
// window books them, the report window opened and closed as the menu does, the heading of a
// yearly CSV file and readers for the files the reports write.

#include "support/LedgerTestFixture.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>

class wndPrev;

// The month and year columns' heading line of a yearly CSV file.
inline const QByteArray kYearlyCsvHeading =
    " , 1 月 , 2 月 , 3 月 , 4 月 , 5 月 , 6 月 , 7 月 , 8 月 , 9 月 , 10 月 , 11 月 , 12 月 , 合計\n";

class ReportTest : public LedgerTestFixture
{
protected:
    void SetUp() override;
    // Closes the report window a test left open (see closeReportWindow) before the fixture's
    // own tear-down; a test that opened none loses nothing.
    void TearDown() override;

    // An expense (kind 1) or income (kind 2) entry of a sub-item.
    void addEntry(int year, int month, int day, int32_t account, int kind, int32_t himoku, int64_t amount);
    // Both rows of a transfer from one account to another.
    void addTransfer(int year, int month, int day, int32_t from, int32_t to, int64_t amount);
};

// Closes the report window if one is open and deletes what closing left to be deleted, so
// that the next test starts without a window.
void closeReportWindow();
// Opens the yearly report, which blocks until its window closes: the steps run inside its
// modal loop, and the window is closed after them if they left it open.
void withYearlyReport(const std::function<void(wndPrev *)> &steps);

QByteArray readFileBytes(const QString &path);
// Where a developer asked for them (QUORVELA_REPORT_PNG=folder), saves the rendered picture
// under the name, to be looked at.
void keepPicture(const QImage &image, const QString &name);
// The number of pages in a PDF file written by Qt.
int pdfPageCount(const QString &path);

// A word of a PDF file as pdftotext reads it back: its page (from 1), its box in points from
// the paper's top left corner, and its text in compatibility form (NFKC; "…" reads "...").
// The box spans the report face's line height (ascent and descent, 1.448 of the size), so
// that boxes of lines set close overlap although their glyphs do not; em is the part its
// glyphs stand in, the em square (0.88 of the size above the baseline, 0.12 below).
struct PdfWord
{
    int page = 0;
    QRectF box;
    QString text;
    QRectF em;
};
QList<PdfWord> pdfWords(const QString &path);
