#pragma once
// The report window: shows the asset report (kind 1) or the yearly report (kind 2) on an
// off-screen preview page, prints it through the kept page setup and writes it as CSV.
//
// Entry point for the report menu commands (after CheckKakeiboDBConnected succeeded):
//     wndPrev::openReport(kAssetReport);   // returns at once, the window stays open
//     wndPrev::openReport(kYearlyReport);  // modal: returns when the window has closed
// openReport takes the open report window or makes a new one, sets its report kind, builds the
// preview page (InitPVal) and shows the window; an open window switches to the chosen report.

#include "platform/LedgerChanges.h"
#include "reports/AssetReport.h"
#include "reports/PageModel.h"
#include "reports/YearlyReport.h"

#include <QImage>
#include <QPointF>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class PageSetup;
class QGroupBox;
class QKeyEvent;
class QPaintDevice;
class QPrinter;
class QPushButton;
class QScrollBar;
class QWheelEvent;
class PopupMenu;
class ReportCanvas;
class ReportSurface;

class wndPrev : public QWidget
{
    Q_OBJECT
public:
    // The open report window, or a new one (not shown yet) when none is open.
    static wndPrev *instance();
    static bool exists();
    // What a report command does: instance, kind, InitPVal, then Show or ShowModal by kind.
    static void openReport(int32_t reportCode);

    int32_t iReportCode() const { return m_iReportCode; }
    void setIReportCode(int32_t code) { m_iReportCode = code; }
    // The page model of the page being drawn.
    const strPreVal &pPVal() const { return m_pPVal; }
    // The preview page, or null when none exists.
    const QImage *PBffer() const { return m_PBffer.get(); }
    int32_t cnvPosX() const { return m_cnvPosX; }
    int32_t cnvPosY() const { return m_cnvPosY; }

    // Builds a new preview page and its model for the current kind, resets the scroll
    // position and arms the drawing of the report at the next activation.
    void InitPVal();
    // Shows the window without blocking / modally until it closes; either way the report is
    // drawn at once when it has not been drawn yet.
    void Show();
    void ShowModal();

    void DrawSisanReport(QPaintDevice *g, int32_t width, int32_t height, bool printing);
    void DrawKakeiboReport(QPaintDevice *g, int32_t width, int32_t height, bool printing);
    void DrawKakeiboNendoReport(QPaintDevice *g, int32_t width, int32_t height, bool printing);
    void OutputSisanCSV();
    void OutputKakeiboNendoCSV();

    ~wndPrev() override;

signals:
    void closed();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The report on show painted on a surface in a page model, from the reading on show.
    using ReportPainter = std::function<void(ReportSurface &, const strPreVal &)>;
    enum class Printed
    {
        Sheets,
        NoChosenPage,
        PrinterFailed
    };

    wndPrev();

    void cnvReport_Paint(QPainter &g);
    void slbVertivcal_ValueChanged(int value);
    void slbHorizontal_ValueChanged(int value);
    void scrollByWheel(const QWheelEvent &event, bool overHorizontalBar);
    // The keys of a document view; false for any other key.
    bool scrollByKey(const QKeyEvent &event);
    void pbtPrint_Action();
    void ppmNendo_Change();
    void pbtCsvOutput_Action();
    void Event_Activate();
    void Event_Close();
    void Event_Open();
    void Event_LedgerChanged();

    void newPreviewPage(int width, int height);
    void updateScrollRanges();
    // The one way a report reaches the preview: its pages counted, the picture made as tall as
    // they are one under the other (or cleared when it already is), the report painted on it.
    // The scroll position stays where it was, as far as the new picture reaches.
    void drawPreview(const ReportPainter &paint);
    // The report onto the sheets the print dialog chose, in the printer's page model.
    Printed printSheets(QPrinter &printer, const ReportPainter &paint) const;
    // Draws the report on the preview again when the ledger was committed to since the page
    // on show was read (by this program or another); true when it did.
    bool redrawIfLedgerChanged();
    // The report on show, painted from the reading on show with today's date.
    ReportPainter shownReportPainter() const;
    // How many pages the report on show takes on a page of that setup, for the print dialog.
    int printedPageCount(const PageSetup &setup) const;
    // Draws the report on the preview or prints it, and finishes as the report's routine does.
    void drawReport(QPaintDevice *g, bool printing, const QString &printerFailure,
                    const ReportPainter &paint);
    void finishDrawing(bool printing);

    ReportCanvas *m_cnvReport = nullptr;
    QScrollBar *m_slbVertivcal = nullptr;
    QScrollBar *m_slbHorizontal = nullptr;
    QPushButton *m_pbtPrint = nullptr;
    QGroupBox *m_grbRepNendo = nullptr;
    PopupMenu *m_ppmNendo = nullptr;
    QPushButton *m_pbtCsvOutput = nullptr;

    int32_t m_iReportCode = 0;
    strPreVal m_pPVal;
    std::unique_ptr<QImage> m_PBffer;
    int32_t m_cnvPosY = 0;
    int32_t m_cnvPosX = 0;
    // Where the yearly report is redrawn when a year is chosen: the preview page, or the
    // printer while a print is being drawn.
    QPaintDevice *m_gPP = nullptr;
    bool m_PrevActivate = false;
    // The part of a pixel the wheel has turned and not yet scrolled.
    QPointF m_wheelLeftOver;
    // Where the ledger stood when the report on show was read, and what was read: a print
    // is made from that reading, so that it is what the window shows.
    LedgerReading m_shownReading;
    std::optional<AssetReportData> m_assetShown;
    std::optional<YearlyReportData> m_yearlyShown;
    QString m_yearShown;
};
