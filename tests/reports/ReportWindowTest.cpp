#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "platform/PopupMenu.h"
#include "platform/RollingDate.h"
#include "reports/AssetReport.h"
#include "reports/YearlyReport.h"
#include "reports/wndPrev.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {
class ReportWindowTest : public ReportTest
{
protected:
    static wndPrev *window() { return wndPrev::exists() ? wndPrev::instance() : nullptr; }

    template <typename T> static T *control(const char *name)
    {
        return window() ? window()->findChild<T *>(QString::fromLatin1(name)) : nullptr;
    }

    static void click(const char *name) { control<QPushButton>(name)->click(); }

    // Print and CSV asked for no dialog and showed nothing.
    void expectPrintAndCsvToDoNothing()
    {
        m_ui->pageSetupAnswers.push_back(true);
        click("pbtPrint");
        click("pbtCsvOutput");
        EXPECT_EQ(m_ui->pageSetupCount, 0);
        EXPECT_TRUE(m_ui->fileDialogTitles.isEmpty());
        EXPECT_TRUE(m_ui->messages.isEmpty());
    }

    // An income entry of every income sub-item and an expense entry of every expense
    // sub-item of the seed tree (8 and 48) in the year.
    void bookEverySubItem(int year)
    {
        auto rows = KakeiboDB->select(QStringLiteral("SELECT Id, SyubetuNo FROM Himoku WHERE Ucount = 0"));
        ASSERT_TRUE(rows);
        QList<QPair<int, int>> subItems;
        for (; !rows->atEnd(); rows->moveNext()) {
            subItems.append({rows->intAt(0), rows->intAt(1)});
        }
        ASSERT_EQ(subItems.size(), 56);
        for (const auto &[id, kind] : subItems) {
            addEntry(year, 1 + id % 12, 1, 1, kind, id, 100 * id);
        }
    }

    static bool hasDarkPixels(const QImage &image)
    {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) < 128) {
                    return true;
                }
            }
        }
        return false;
    }
};

QString today()
{
    return RollingDate::today().shortDate();
}
} // namespace

TEST_F(ReportWindowTest, AssetReportOpensWithoutBlockingAndDrawsItsPreview)
{
    exec(QStringLiteral("UPDATE Sisan SET Zankin = 123456 WHERE Id = 1"));
    wndPrev::openReport(kAssetReport);
    wndPrev *w = window();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->objectName(), QStringLiteral("wndPrev"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quorvela report"));
    EXPECT_EQ(w->size(), QSize(900, 686));
    EXPECT_EQ(w->iReportCode(), kAssetReport);
    EXPECT_EQ(control<QWidget>("cnvReport")->size(), QSize(850, 541));
    EXPECT_EQ(control<QPushButton>("pbtPrint")->text(), QStringLiteral("印刷"));
    EXPECT_EQ(control<QPushButton>("pbtCsvOutput")->text(), QStringLiteral("CSV ファイル書き出し"));
    EXPECT_EQ(control<QGroupBox>("grbRepNendo")->title(), QStringLiteral("レポート年度"));
    EXPECT_FALSE(control<QGroupBox>("grbRepNendo")->isVisible());

    // 847 - 541 down; the page is narrower than the canvas, so across it stays at 0.
    EXPECT_EQ(control<QScrollBar>("slbVertivcal")->maximum(), 306);
    EXPECT_EQ(control<QScrollBar>("slbHorizontal")->maximum(), 0);
    EXPECT_EQ(control<QScrollBar>("slbHorizontal")->minimum(), 0);
    EXPECT_EQ(w->cnvPosX(), 0);
    EXPECT_EQ(w->pPVal().LinesPerPage, 60);

    ASSERT_TRUE(w->PBffer());
    EXPECT_EQ(w->PBffer()->size(), QSize(595, 847));
    EXPECT_TRUE(hasDarkPixels(*w->PBffer()));
    keepPicture(*w->PBffer(), QStringLiteral("asset-page.png"));
    keepPicture(w->grab().toImage(), QStringLiteral("asset-window.png"));

    control<QScrollBar>("slbVertivcal")->setValue(100);
    EXPECT_EQ(w->cnvPosY(), -100);

    // Resizing the window resizes the canvas, and the scroll ranges follow it.
    w->resize(900, 400);
    EXPECT_EQ(control<QWidget>("cnvReport")->height(), 400 - 145);
    EXPECT_EQ(control<QScrollBar>("slbVertivcal")->maximum(), 847 - 255);
    EXPECT_EQ(w->cnvPosY(), -100);
    w->resize(900, 686);

    // The command on the open window draws the report again on a new page from its corner.
    wndPrev::openReport(kAssetReport);
    EXPECT_EQ(window(), w);
    EXPECT_EQ(w->cnvPosY(), 0);
    EXPECT_EQ(control<QScrollBar>("slbVertivcal")->value(), 0);
    EXPECT_TRUE(hasDarkPixels(*w->PBffer()));
}

TEST_F(ReportWindowTest, FirstActivationDrawsOnceAndLaterActivationsNever)
{
    // Every drawing of a broken ledger shows a message, so the messages count the drawings;
    // the message box of the first one must not start it again.
    exec(QStringLiteral("DROP TABLE Sisan"));
    wndPrev::openReport(kAssetReport);
    ASSERT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from Method DrawSisanReport: no such table: Sisan")});
    QEvent activation(QEvent::ActivationChange);
    QCoreApplication::sendEvent(window(), &activation);
    window()->activateWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(m_ui->messages.size(), 1);
}

TEST_F(ReportWindowTest, ClosingDropsThePageAndTheNextCommandMakesANewWindow)
{
    wndPrev::openReport(kAssetReport);
    wndPrev *first = window();
    QWidget *canvas = control<QWidget>("cnvReport");
    first->close();
    EXPECT_FALSE(wndPrev::exists());
    EXPECT_EQ(first->PBffer(), nullptr);
    // The canvas of a closed window paints nothing of a page.
    EXPECT_FALSE(hasDarkPixels(canvas->grab().toImage()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    wndPrev::openReport(kAssetReport);
    EXPECT_TRUE(window());
    EXPECT_TRUE(window()->PBffer());
}

TEST_F(ReportWindowTest, UnknownReportCodeShowsItsMessageAndDrawsNothing)
{
    wndPrev *w = wndPrev::instance();
    w->setIReportCode(3);
    w->InitPVal();
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("Report code error")});
    w->Show();
    EXPECT_EQ(w->PBffer(), nullptr);
    click("pbtCsvOutput");
    click("pbtPrint");
    EXPECT_TRUE(m_ui->fileDialogTitles.isEmpty());
    EXPECT_EQ(m_ui->pageSetupCount, 0);
    EXPECT_EQ(m_ui->printCount, 0);
}

TEST_F(ReportWindowTest, YearlyReportIsModalAndTurnsAnOpenAssetWindowIntoIt)
{
    addEntry(2024, 1, 25, 1, 2, 77, 300000);
    addEntry(2023, 5, 1, 1, 1, 2, 1200);
    wndPrev::openReport(kAssetReport);
    wndPrev *assetWindow = window();
    withYearlyReport([&](wndPrev *w) {
        EXPECT_EQ(w, assetWindow);
        EXPECT_TRUE(w->isModal());
        EXPECT_EQ(w->iReportCode(), kYearlyReport);
        EXPECT_TRUE(control<QGroupBox>("grbRepNendo")->isVisible());
        auto *years = control<PopupMenu>("ppmNendo");
        ASSERT_EQ(years->rowCount(), 2);
        EXPECT_EQ(years->rowText(0), QStringLiteral("2024"));
        EXPECT_EQ(years->rowText(1), QStringLiteral("2023"));
        EXPECT_EQ(years->listIndex(), 0);
        ASSERT_TRUE(w->PBffer());
        EXPECT_EQ(w->PBffer()->size(), QSize(847, 1200));
        EXPECT_EQ(control<QScrollBar>("slbVertivcal")->maximum(), 659);
        EXPECT_EQ(control<QScrollBar>("slbHorizontal")->maximum(), 0);
        EXPECT_TRUE(hasDarkPixels(*w->PBffer()));
        const QImage year2024 = *w->PBffer();
        keepPicture(year2024, QStringLiteral("yearly-page.png"));
        keepPicture(w->grab().toImage(), QStringLiteral("yearly-window.png"));

        // Choosing another year redraws the whole page for it.
        years->setListIndex(1);
        EXPECT_NE(*w->PBffer(), year2024);
        years->setListIndex(0);
        EXPECT_EQ(*w->PBffer(), year2024);
    });
    EXPECT_FALSE(wndPrev::exists());
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ReportWindowTest, LedgerWithoutEntriesGivesNoYearAndNothingToPrintOrWrite)
{
    withYearlyReport([&](wndPrev *w) {
        EXPECT_EQ(control<PopupMenu>("ppmNendo")->rowCount(), 0);
        EXPECT_FALSE(hasDarkPixels(*w->PBffer()));
        expectPrintAndCsvToDoNothing();
    });
}

TEST_F(ReportWindowTest, CancellingPageSetupOrPrintLeavesEverythingAsItWas)
{
    wndPrev::openReport(kAssetReport);
    gPS.setLandscape(true);

    click("pbtPrint"); // no answer: the page setup is cancelled
    EXPECT_EQ(m_ui->pageSetupCount, 1);
    EXPECT_EQ(m_ui->printCount, 0);
    EXPECT_TRUE(gPS.landscape());

    m_ui->pageSetupAnswers.push_back(true);
    m_ui->printAnswers.push_back(std::nullopt);
    click("pbtPrint");
    EXPECT_EQ(m_ui->pageSetupCount, 2);
    EXPECT_EQ(m_ui->printCount, 1);
    // The confirmed page setup is kept at once, but nothing was printed.
    EXPECT_FALSE(gPS.landscape());
    EXPECT_FALSE(gPrinter.SetupDone);
    ASSERT_TRUE(wndPrev::exists());
    EXPECT_EQ(window()->pPVal().LinesPerPage, 60);
    EXPECT_TRUE(window()->PBffer());
}

TEST_F(ReportWindowTest, AssetReportPrintsOnOnePortraitPageAndClosesTheWindow)
{
    wndPrev::openReport(kAssetReport);
    gPS.setLandscape(true);
    const QString pdf = path(QStringLiteral("asset.pdf"));
    m_ui->pageSetupAnswers.push_back(true);
    m_ui->printAnswers.push_back(pdf);
    click("pbtPrint");
    EXPECT_FALSE(wndPrev::exists());
    EXPECT_EQ(pdfPageCount(pdf), 1);
    EXPECT_TRUE(gPrinter.SetupDone);
    EXPECT_FALSE(gPrinter.Landscape);
    EXPECT_EQ(gPrinter.Resolution, 72);
    EXPECT_LT(gPrinter.PageWidth, gPrinter.PageHeight);
    EXPECT_TRUE(readFileBytes(pdf).contains("/MediaBox [0 0 595"));

    // The next print uses the kept setup without asking; a kept landscape setup still gives
    // the asset report its portrait page.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    gPS.setLandscape(true);
    wndPrev::openReport(kAssetReport);
    m_ui->printAnswers.push_back(path(QStringLiteral("again.pdf")));
    click("pbtPrint");
    EXPECT_EQ(m_ui->pageSetupCount, 1);
    EXPECT_EQ(pdfPageCount(path(QStringLiteral("again.pdf"))), 1);
    EXPECT_TRUE(readFileBytes(path(QStringLiteral("again.pdf"))).contains("/MediaBox [0 0 595"));
    EXPECT_FALSE(gPrinter.Landscape);
    EXPECT_LT(gPrinter.PageWidth, gPrinter.PageHeight);
    EXPECT_TRUE(gPS.landscape());
}

TEST_F(ReportWindowTest, YearlyReportPrintsLandscapePagesOfFiftyLines)
{
    // 8 income and 48 expense rows: 56 report lines and more, two pages of 50 lines.
    bookEverySubItem(2024);
    const QString pdf = path(QStringLiteral("yearly.pdf"));
    m_ui->pageSetupAnswers.push_back(true);
    m_ui->printAnswers.push_back(pdf);
    addEntry(2023, 1, 1, 1, 1, 2, 500);
    withYearlyReport([&](wndPrev *) { click("pbtPrint"); });
    EXPECT_EQ(m_ui->printCount, 1);
    EXPECT_EQ(pdfPageCount(pdf), 2);
    EXPECT_TRUE(gPrinter.Landscape);
    EXPECT_GT(gPrinter.PageWidth, gPrinter.PageHeight);
    EXPECT_TRUE(readFileBytes(pdf).contains("/MediaBox [0 0 842"));

    // The year shown is the year printed: 2023 has one row and fits on one page.
    const QString shortYear = path(QStringLiteral("yearly-2023.pdf"));
    m_ui->printAnswers.push_back(shortYear);
    withYearlyReport([&](wndPrev *) {
        control<PopupMenu>("ppmNendo")->setListIndex(1);
        click("pbtPrint");
    });
    EXPECT_EQ(m_ui->pageSetupCount, 1);
    EXPECT_EQ(pdfPageCount(shortYear), 1);
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ReportWindowTest, PreviewOfAYearLongerThanOnePageGrowsDownwards)
{
    // More rows than the 100 lines of the preview page hold.
    for (int i = 0; i < 100; ++i) {
        exec(QStringLiteral("INSERT INTO Himoku VALUES (%1, 2, 'extra/%1', 76, 0)").arg(200 + i));
        addEntry(2024, 1, 1, 1, 2, 200 + i, 1);
    }
    withYearlyReport([&](wndPrev *w) {
        ASSERT_TRUE(w->PBffer());
        EXPECT_EQ(w->PBffer()->height(), 2400);
        EXPECT_EQ(control<QScrollBar>("slbVertivcal")->maximum(), 2400 - 541);
        EXPECT_TRUE(hasDarkPixels(w->PBffer()->copy(0, 1200, 847, 1200)));
    });
}

TEST_F(ReportWindowTest, AssetCsvFileIsWrittenWholeOrNotAtAll)
{
    wndPrev::openReport(kAssetReport);
    click("pbtCsvOutput"); // cancelled
    EXPECT_EQ(m_ui->fileDialogTitles, QStringList{QString::fromUtf8(kAssetCsvDialogTitle)});
    EXPECT_TRUE(m_ui->messages.isEmpty());

    const QString file = path(QStringLiteral("assets.csv"));
    m_ui->fileAnswers.push_back(file);
    click("pbtCsvOutput");
    EXPECT_EQ(readFileBytes(file), assetReportCsv(readAssetReport(*KakeiboDB), today()));
    EXPECT_TRUE(readFileBytes(file).startsWith("現　有　資　産 ,"));
    EXPECT_TRUE(m_ui->messages.isEmpty());

    // A file that cannot be made: the site's message, and no file.
    const QString unwritable = path(QStringLiteral("missing-folder/assets.csv"));
    m_ui->fileAnswers.push_back(unwritable);
    click("pbtCsvOutput");
    ASSERT_EQ(m_ui->messages.size(), 1);
    EXPECT_TRUE(m_ui->messages[0].startsWith(QStringLiteral("from Method OutputSisanCSV: ")));
    EXPECT_GT(m_ui->messages[0].size(), QStringLiteral("from Method OutputSisanCSV: ").size());
    EXPECT_FALSE(QFileInfo::exists(unwritable));
    EXPECT_TRUE(window()->isVisible());
}

TEST_F(ReportWindowTest, AssetCsvOfAFailedStatementStillHasItsShape)
{
    wndPrev::openReport(kAssetReport);
    exec(QStringLiteral("DROP TABLE Sisan"));
    const QString file = path(QStringLiteral("assets.csv"));
    m_ui->fileAnswers.push_back(file);
    click("pbtCsvOutput");
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from Method OutputSisanCSV: no such table: Sisan")});
    EXPECT_EQ(readFileBytes(file),
              ("現　有　資　産 ," + today() + "\n番号 , 名前 , 残金(円)\n資産残合計  , 0\n").toUtf8());
}

TEST_F(ReportWindowTest, YearlyCsvFileOfTheChosenYear)
{
    addEntry(2024, 1, 25, 1, 2, 77, 300000);
    addEntry(2023, 5, 1, 1, 1, 2, 1200);
    const QString file = path(QStringLiteral("yearly.csv"));
    withYearlyReport([&](wndPrev *) {
        control<PopupMenu>("ppmNendo")->setListIndex(1);
        m_ui->fileAnswers.push_back(file);
        click("pbtCsvOutput");
    });
    EXPECT_EQ(m_ui->fileDialogTitles, QStringList{QString::fromUtf8(kYearlyCsvDialogTitle)});
    const YearlyReportData expected = readYearlyReport(*KakeiboDB, QStringLiteral("2023"));
    EXPECT_EQ(readFileBytes(file), yearlyReportCsv(expected, QStringLiteral("2023"), today()));
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(ReportWindowTest, FailedYearlyStatementsShowTheirSitesMessages)
{
    addEntry(2024, 1, 25, 1, 2, 77, 300000);
    const QString file = path(QStringLiteral("yearly.csv"));
    withYearlyReport([&](wndPrev *) {
        exec(QStringLiteral("DROP TABLE Items"));
        m_ui->fileAnswers.push_back(file);
        click("pbtCsvOutput");
        control<PopupMenu>("ppmNendo")->setListIndex(0);
    });
    const QString error = QStringLiteral("no such table: Items");
    QStringList expected;
    for (const char *prefix : kYearlyCsvFailures) {
        expected.append(QString::fromUtf8(prefix) + error);
    }
    for (const char *prefix : kYearlyDrawFailures) {
        expected.append(QString::fromUtf8(prefix) + error);
    }
    EXPECT_EQ(m_ui->messages, expected);
    EXPECT_TRUE(readFileBytes(file).endsWith("差引合計" + QByteArray(" , ").repeated(13) + "\n"));
}

TEST_F(ReportWindowTest, FailedYearListShowsItsMessage)
{
    exec(QStringLiteral("ALTER TABLE Items RENAME TO Entries"));
    withYearlyReport([&](wndPrev *) { EXPECT_EQ(control<PopupMenu>("ppmNendo")->rowCount(), 0); });
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from Method DrawKakeiboReport     set Nen: no such table: Items")});
}

TEST_F(ReportWindowTest, WithoutALedgerPrintAndCsvDoNothing)
{
    wndPrev::openReport(kAssetReport);
    KakeiboDB.reset();
    expectPrintAndCsvToDoNothing();
}

TEST_F(ReportWindowTest, PrinterThatCannotStartIsReportedAndTheWindowStays)
{
    wndPrev::openReport(kAssetReport);
    m_ui->pageSetupAnswers.push_back(true);
    m_ui->printAnswers.push_back(path(QStringLiteral("missing-folder/asset.pdf")));
    click("pbtPrint");
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from Method DrawSisanReport: the printer could not be started")});
    ASSERT_TRUE(wndPrev::exists());
    EXPECT_EQ(window()->pPVal().LinesPerPage, 60);
    EXPECT_TRUE(window()->PBffer());
}

namespace {
// A turn of the mouse wheel (eighths of a degree, 120 a notch) or a touchpad's pixels over a
// control of the report window, as the window system delivers it.
void wheel(QWidget *target, QPoint angle, QPoint pixels = QPoint(), Qt::KeyboardModifiers modifiers = {})
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(at, target->mapToGlobal(at), pixels, angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                      false);
    QCoreApplication::sendEvent(target, &event);
}
} // namespace

TEST_F(ReportWindowTest, TheWheelScrollsThePageAndTheBarsKeepTheirSteps)
{
    wndPrev::openReport(kAssetReport);
    // A narrower window, so that the page scrolls across too.
    window()->resize(500, 686);
    QScrollBar *down = control<QScrollBar>("slbVertivcal");
    QScrollBar *across = control<QScrollBar>("slbHorizontal");
    ASSERT_EQ(down->maximum(), 306);
    ASSERT_EQ(across->maximum(), 595 - 450);

    // From the middle of the page; a notch is the system's lines of 20 pixels each.
    const int notch = QApplication::wheelScrollLines() * 20;
    const struct
    {
        const char *what;
        const char *over;
        QPoint angle;
        QPoint pixels;
        Qt::KeyboardModifiers modifiers;
        int downValue;
        int acrossValue;
    } cases[] = {
        {"a notch down over the page", "cnvReport", {0, -120}, {}, {}, 100 + notch, 50},
        {"a notch up over the page", "cnvReport", {0, 120}, {}, {}, 100 - notch, 50},
        {"half a notch of a fine wheel", "cnvReport", {0, -60}, {}, {}, 100 + notch / 2, 50},
        {"past the end of the page", "cnvReport", {0, -120 * 10}, {}, {}, 306, 50},
        {"a touchpad's pixels", "cnvReport", {0, -120}, {-3, -7}, {}, 107, 53},
        {"a tilt to the right", "cnvReport", {-120, 0}, {}, {}, 100, 50 + notch},
        {"Shift turns the wheel across", "cnvReport", {0, -120}, {}, Qt::ShiftModifier, 100, 50 + notch},
        {"a notch over the vertical bar", "slbVertivcal", {0, -120}, {}, {}, 100 + notch, 50},
        {"a notch over the horizontal bar", "slbHorizontal", {0, -120}, {}, {}, 100, 50 + notch},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        down->setValue(100);
        across->setValue(50);
        wheel(control<QWidget>(c.over), c.angle, c.pixels, c.modifiers);
        EXPECT_EQ(down->value(), c.downValue);
        EXPECT_EQ(across->value(), c.acrossValue);
        EXPECT_EQ(window()->cnvPosY(), -c.downValue);
        EXPECT_EQ(window()->cnvPosX(), -c.acrossValue);
    }

    // A fine wheel's eighths of a notch add up to the notch.
    down->setValue(100);
    for (int eighth = 0; eighth < 8; ++eighth) {
        wheel(control<QWidget>("cnvReport"), {0, -15});
    }
    EXPECT_EQ(down->value(), 100 + notch);

    // The bars' arrows and trough step by 1 and 20.
    down->setValue(100);
    down->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(down->value(), 101);
    down->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(down->value(), 121);
    across->setValue(50);
    across->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(across->value(), 49);
    across->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(across->value(), 29);
}

namespace {
// A ledger with that many more accounts: at 60 lines a preview page, 120 more take three pages.
void addAccounts(int count)
{
    for (int i = 0; i < count; ++i) {
        ASSERT_TRUE(KakeiboDB->execute(
            QStringLiteral("INSERT INTO Sisan (Namae, SyokiKingaku, Zankin) VALUES ('口座%1', 0, %1)")
                .arg(i)));
    }
}

constexpr int kThreePagesDown = 3 * 847 - 541;
} // namespace

TEST_F(ReportWindowTest, ThePreviewKeepsItsPlaceWhenItIsDrawnAgain)
{
    addAccounts(120);
    wndPrev::openReport(kAssetReport);
    QScrollBar *down = control<QScrollBar>("slbVertivcal");
    ASSERT_EQ(down->maximum(), kThreePagesDown);
    down->setValue(2000);

    // A write of this program draws the page again: same pages, same place.
    ASSERT_TRUE(KakeiboDB->execute(QStringLiteral("UPDATE Sisan SET Zankin = 777 WHERE Id = 1")));
    QCoreApplication::processEvents();
    EXPECT_EQ(down->maximum(), kThreePagesDown);
    EXPECT_EQ(down->value(), 2000);
    EXPECT_EQ(window()->cnvPosY(), -2000);
    keepPicture(window()->grab().toImage(), QStringLiteral("asset-window-drawn-again.png"));

    // A report that shrinks to two pages keeps the place as far as the pages reach.
    ASSERT_TRUE(KakeiboDB->execute(QStringLiteral("DELETE FROM Sisan WHERE Id > 60")));
    QCoreApplication::processEvents();
    EXPECT_EQ(down->maximum(), 2 * 847 - 541);
    EXPECT_EQ(down->value(), 2 * 847 - 541);
    EXPECT_EQ(window()->cnvPosY(), -(2 * 847 - 541));
}

TEST_F(ReportWindowTest, TheScrollRangesFollowTheWindowsSize)
{
    addAccounts(120);
    wndPrev::openReport(kAssetReport);
    QScrollBar *down = control<QScrollBar>("slbVertivcal");
    QScrollBar *across = control<QScrollBar>("slbHorizontal");
    down->setValue(2000);

    // A lower window reaches further down, and the place stays.
    window()->resize(900, 400);
    EXPECT_EQ(down->maximum(), 3 * 847 - 255);
    EXPECT_EQ(down->value(), 2000);
    down->setValue(down->maximum());
    // A narrower one scrolls across.
    window()->resize(500, 400);
    EXPECT_EQ(across->maximum(), 595 - 450);
    across->setValue(across->maximum());
    keepPicture(window()->grab().toImage(), QStringLiteral("asset-window-small-at-the-end.png"));

    // Back to its size: the page's end and right edge are where they can be reached.
    window()->resize(900, 686);
    EXPECT_EQ(down->maximum(), kThreePagesDown);
    EXPECT_EQ(down->value(), kThreePagesDown);
    EXPECT_EQ(across->maximum(), 0);
    EXPECT_EQ(across->value(), 0);
    EXPECT_EQ(window()->cnvPosY(), -kThreePagesDown);
    EXPECT_EQ(window()->cnvPosX(), 0);
}

TEST_F(ReportWindowTest, TheKeysScrollThePageAsInADocumentView)
{
    addAccounts(120);
    wndPrev::openReport(kAssetReport);
    window()->resize(500, 686);
    QCoreApplication::processEvents();
    QScrollBar *down = control<QScrollBar>("slbVertivcal");
    QScrollBar *across = control<QScrollBar>("slbHorizontal");
    // The page holds the focus when the window opens, so the keys reach it at once.
    ASSERT_EQ(QApplication::focusWidget(), control<QWidget>("cnvReport"));
    const int page = 541;
    const struct
    {
        const char *what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int downValue;
        int acrossValue;
    } cases[] = {
        {"down arrow", Qt::Key_Down, {}, 500 + 20, 50},
        {"up arrow", Qt::Key_Up, {}, 500 - 20, 50},
        {"right arrow", Qt::Key_Right, {}, 500, 50 + 20},
        {"left arrow", Qt::Key_Left, {}, 500, 50 - 20},
        {"Page Down", Qt::Key_PageDown, {}, 500 + page, 50},
        {"Page Up", Qt::Key_PageUp, {}, 0, 50},
        {"Space", Qt::Key_Space, {}, 500 + page, 50},
        {"Shift+Space", Qt::Key_Space, Qt::ShiftModifier, 0, 50},
        {"Home", Qt::Key_Home, {}, 0, 50},
        {"End", Qt::Key_End, {}, kThreePagesDown, 50},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        down->setValue(500);
        across->setValue(50);
        QTest::keyClick(QApplication::focusWidget(), c.key, c.modifiers);
        EXPECT_EQ(down->value(), c.downValue);
        EXPECT_EQ(across->value(), c.acrossValue);
        EXPECT_EQ(window()->cnvPosY(), -c.downValue);
        EXPECT_EQ(window()->cnvPosX(), -c.acrossValue);
    }
}
