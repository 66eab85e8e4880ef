#include "reports/wndPrev.h"

#include "app/LedgerStore.h"
#include "app/mdlGlobal.h"
#include "platform/LedgerChanges.h"
#include "platform/PopupMenu.h"
#include "platform/RollingDate.h"
#include "platform/TextFit.h"
#include "platform/Ui.h"
#include "reports/AssetReport.h"
#include "reports/CsvFile.h"
#include "reports/PainterSurface.h"
#include "reports/PrintedSheets.h"
#include "reports/RecordingSurface.h"
#include "reports/ReportCanvas.h"
#include "reports/YearlyReport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtMath>

#include <algorithm>

namespace {
QPointer<wndPrev> &openWindow()
{
    static QPointer<wndPrev> window;
    return window;
}

// The geometry of the controls around the canvas, which grows with the window.
constexpr int kMargin = 10;
constexpr int kScrollBarExtent = 16;
constexpr int kCanvasWidthGap = 50;
constexpr int kCanvasHeightGap = 145;
// What one line of a mouse wheel scrolls the page by, as in a document view; the scroll
// bars' own arrows and trough keep their steps of 1 and 20.
constexpr int kWheelLine = 20;

// The ledger a report may read, or null: the non-blocking asset window can outlive the
// ledger it was opened on, and must then not touch a missing connection.
LedgerConnection *reportLedger()
{
    return CheckKakeiboDBConnected() ? KakeiboDB.get() : nullptr;
}

// The same without a word when there is none: for what the window does on its own (an
// activation, a change told), which a message box would only start again.
LedgerConnection *connectedLedger()
{
    return KakeiboDB && KakeiboDB->isConnected() ? KakeiboDB.get() : nullptr;
}

QString today()
{
    return RollingDate::today().shortDate();
}

// A page of width x height logical pixels, drawn at the screen's device pixel ratio so that it
// is as sharp as the rest of the window; at a ratio of 1 it is the page itself.
QImage newPicture(int width, int height, qreal ratio)
{
    QImage picture(qCeil(width * ratio), qCeil(height * ratio), QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    // 72 dots per inch, as the page model records.
    picture.setDotsPerMeterX(2835);
    picture.setDotsPerMeterY(2835);
    return picture;
}

// The page's size in the window's (logical) pixels, whatever its device pixel ratio.
QSize logicalSize(const QImage &picture)
{
    return picture.deviceIndependentSize().toSize();
}

// The printer's page at 72 dots per inch, as the report's page model takes it.
constexpr int kPrinterResolution = 72;

QPrinter *asPrinter(QPaintDevice *device)
{
    return device && device->devType() == QInternal::Printer ? static_cast<QPrinter *>(device) : nullptr;
}

// The message that stops a print whose margins leave the page in its orientation no room for
// the report's grid, naming those margins; none when the page holds it.
std::optional<QString> marginsRefusal(const QPrinter &printer, int32_t reportCode, const strPreVal &preview)
{
    const PageRoom room = printerPageRoom(reportCode, preview, printer.width(), printer.height());
    if (room == PageRoom::Enough) {
        return std::nullopt;
    }
    const QMarginsF mm = printer.pageLayout().margins(QPageLayout::Millimeter);
    const QString orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                                    ? QStringLiteral("横向き")
                                    : QStringLiteral("縦向き");
    const QString margins =
        room == PageRoom::TooNarrow
            ? QStringLiteral("左右の余白（左 %1 mm、右 %2 mm）").arg(mm.left()).arg(mm.right())
            : QStringLiteral("上下の余白（上 %1 mm、下 %2 mm）").arg(mm.top()).arg(mm.bottom());
    return margins + QStringLiteral("では、") + orientation +
           QStringLiteral(
               "の用紙にレポートを印刷する場所がありません。ページ設定で余白を小さくしてください。");
}
} // namespace

wndPrev *wndPrev::instance()
{
    if (!openWindow()) {
        openWindow() = new wndPrev();
    }
    return openWindow();
}

bool wndPrev::exists()
{
    return !openWindow().isNull();
}

void wndPrev::openReport(int32_t reportCode)
{
    wndPrev *window = instance();
    window->setIReportCode(reportCode);
    window->InitPVal();
    if (reportCode == kYearlyReport) {
        window->ShowModal();
    } else {
        window->Show();
    }
}

wndPrev::wndPrev()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("wndPrev"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quorvela report"));
    setMinimumSize(64, 64);

    m_cnvReport = new ReportCanvas(this);
    m_cnvReport->setObjectName(QStringLiteral("cnvReport"));
    // The page takes the keys of a document view, and holds the focus when the window opens.
    m_cnvReport->setFocusPolicy(Qt::StrongFocus);

    m_slbVertivcal = new QScrollBar(Qt::Vertical, this);
    m_slbVertivcal->setObjectName(QStringLiteral("slbVertivcal"));
    m_slbHorizontal = new QScrollBar(Qt::Horizontal, this);
    m_slbHorizontal->setObjectName(QStringLiteral("slbHorizontal"));
    for (QScrollBar *bar : {m_slbVertivcal, m_slbHorizontal}) {
        bar->setRange(0, 0);
        bar->setValue(0);
        bar->setSingleStep(1);
        bar->setPageStep(20);
        bar->setTracking(false);
    }

    m_pbtPrint = new QPushButton(QStringLiteral("印刷"), this);
    m_pbtPrint->setObjectName(QStringLiteral("pbtPrint"));
    m_pbtPrint->setAutoDefault(false);

    m_grbRepNendo = new QGroupBox(QStringLiteral("レポート年度"), this);
    m_grbRepNendo->setObjectName(QStringLiteral("grbRepNendo"));
    m_ppmNendo = new PopupMenu(m_grbRepNendo);
    m_ppmNendo->setObjectName(QStringLiteral("ppmNendo"));
    m_ppmNendo->setGeometry(10, 24, 150, 26);

    m_pbtCsvOutput = new QPushButton(QStringLiteral("CSV ファイル書き出し"), this);
    m_pbtCsvOutput->setObjectName(QStringLiteral("pbtCsvOutput"));
    m_pbtCsvOutput->setAutoDefault(false);

    // Sized before the first show: the preview page's scroll ranges are computed from the
    // canvas before the window appears.
    resize(900, 686);
    m_cnvReport->setGeometry(kMargin, kMargin, 850, 541);

    m_cnvReport->setPaintHandler([this](QPainter &g) { cnvReport_Paint(g); });
    // The wheel scrolls the page wherever it is turned over it or its bars.
    for (QWidget *scrolled : std::initializer_list<QWidget *>{m_cnvReport, m_slbVertivcal, m_slbHorizontal}) {
        scrolled->installEventFilter(this);
    }
    connect(m_slbVertivcal, &QScrollBar::valueChanged, this, &wndPrev::slbVertivcal_ValueChanged);
    connect(m_slbHorizontal, &QScrollBar::valueChanged, this, &wndPrev::slbHorizontal_ValueChanged);
    connect(m_pbtPrint, &QPushButton::clicked, this, &wndPrev::pbtPrint_Action);
    m_ppmNendo->setChangeHandler([this] { ppmNendo_Change(); });
    connect(m_pbtCsvOutput, &QPushButton::clicked, this, &wndPrev::pbtCsvOutput_Action);
    if (LedgerChanges *changes = LedgerChanges::instance()) {
        connect(changes, &LedgerChanges::changed, this, &wndPrev::Event_LedgerChanged);
    }
    Event_Open();
}

wndPrev::~wndPrev()
{
    if (openWindow() == this) {
        openWindow() = nullptr;
    }
}

void wndPrev::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int canvasWidth = std::max(1, width() - kCanvasWidthGap);
    const int canvasHeight = std::max(1, height() - kCanvasHeightGap);
    m_cnvReport->setGeometry(kMargin, kMargin, canvasWidth, canvasHeight);
    m_slbVertivcal->setGeometry(kMargin + canvasWidth + 2, kMargin, kScrollBarExtent, canvasHeight);
    m_slbHorizontal->setGeometry(kMargin, kMargin + canvasHeight + 2, canvasWidth, kScrollBarExtent);
    const int rowTop = height() - 106;
    m_pbtPrint->setGeometry(kMargin, rowTop + 16, 110, 32);
    m_grbRepNendo->setGeometry(140, rowTop, 170, 60);
    m_pbtCsvOutput->setGeometry(330, rowTop + 16, 190, 32);
    // Under a large application font the captions shrink to their buttons, not past them.
    fitTexts(*this);
    // The whole page stays reachable in a canvas of any size.
    updateScrollRanges();
}

void wndPrev::InitPVal()
{
    m_cnvReport->setAttribute(Qt::WA_OpaquePaintEvent);
    m_slbVertivcal->setTracking(true);
    m_slbHorizontal->setTracking(true);

    const std::optional<strPreVal> model = previewPageModel(m_iReportCode);
    if (!model) {
        Ui::instance().message(QStringLiteral("Report code error"));
        return;
    }
    m_pPVal = *model;
    newPreviewPage(m_pPVal.PageWidth, m_pPVal.PageHeight);
    m_slbVertivcal->setValue(0);
    m_slbHorizontal->setValue(0);
    m_cnvPosX = 0;
    m_cnvPosY = 0;
    m_PrevActivate = true;
}

void wndPrev::newPreviewPage(int width, int height)
{
    m_PBffer = std::make_unique<QImage>(newPicture(width, height, m_cnvReport->devicePixelRatioF()));
    m_gPP = m_PBffer.get();
    updateScrollRanges();
}

void wndPrev::drawPreview(const ReportPainter &paint)
{
    // A report longer than one preview page gets its further pages under the first, on a
    // taller picture, instead of over it. The picture goes straight to its new size: a
    // picture of another size on the way would clamp the scroll position to its range.
    RecordingSurface pages;
    paint(pages, m_pPVal);
    const QSize size(m_pPVal.PageWidth, pages.pageCount() * m_pPVal.PageHeight);
    if (!m_PBffer || logicalSize(*m_PBffer) != size ||
        m_PBffer->devicePixelRatio() != m_cnvReport->devicePixelRatioF()) {
        newPreviewPage(size.width(), size.height());
    } else {
        m_PBffer->fill(Qt::white);
    }
    {
        PainterSurface surface(m_PBffer.get(), m_pPVal.PageHeight);
        paint(surface, m_pPVal);
    }
}

wndPrev::Printed wndPrev::printSheets(QPrinter &printer, const ReportPainter &paint) const
{
    RecordingSurface pages;
    paint(pages, m_pPVal);
    const std::vector<int> sheets = printedSheets(pages.pageCount(), printer);
    // No painter is begun: that would put an empty sheet into the job.
    if (sheets.empty()) {
        return Printed::NoChosenPage;
    }
    PainterSurface surface(&printer);
    if (!surface.isActive()) {
        return Printed::PrinterFailed;
    }
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0) {
            surface.nextPage();
        }
        OnePageSurface sheet(surface, sheets[i]);
        paint(sheet, m_pPVal);
    }
    return Printed::Sheets;
}

wndPrev::ReportPainter wndPrev::shownReportPainter() const
{
    const QString date = today();
    if (m_iReportCode == kAssetReport && m_assetShown) {
        return [data = &*m_assetShown, date](ReportSurface &surface, const strPreVal &model) {
            paintAssetReport(surface, model, *data, date);
        };
    }
    if (m_iReportCode == kYearlyReport && m_yearlyShown) {
        return [data = &*m_yearlyShown, year = m_yearShown, date](ReportSurface &surface,
                                                                  const strPreVal &model) {
            paintYearlyReport(surface, model, *data, year, date);
        };
    }
    return [](ReportSurface &, const strPreVal &) {};
}

int wndPrev::printedPageCount(const PageSetup &setup) const
{
    const QRect page = setup.layout().paintRectPixels(kPrinterResolution);
    RecordingSurface pages;
    shownReportPainter()(pages, fittedPrinterPageModel(m_iReportCode, m_pPVal, page.width(), page.height(),
                                                       kPrinterResolution));
    return pages.pageCount();
}

bool wndPrev::redrawIfLedgerChanged()
{
    LedgerConnection *db = connectedLedger();
    // Only a page on show is drawn again, and never while it is being printed.
    if (!db || m_PrevActivate || !m_PBffer || m_gPP != m_PBffer.get() ||
        LedgerChanges::reading(*db) == m_shownReading) {
        return false;
    }
    if (m_iReportCode == kAssetReport) {
        DrawSisanReport(m_PBffer.get(), m_PBffer->width(), m_PBffer->height(), false);
    } else if (m_iReportCode == kYearlyReport && m_ppmNendo->listIndex() >= 0) {
        DrawKakeiboNendoReport(m_PBffer.get(), m_PBffer->width(), m_PBffer->height(), false);
    } else {
        return false;
    }
    return true;
}

void wndPrev::updateScrollRanges()
{
    if (!m_PBffer) {
        return;
    }
    // A page smaller than the canvas gives a negative range; it stays at 0 so that the page
    // keeps to the canvas's edge.
    const QSize page = logicalSize(*m_PBffer);
    m_slbVertivcal->setRange(0, std::max(0, scrollMaximum(page.height(), m_cnvReport->height())));
    m_slbHorizontal->setRange(0, std::max(0, scrollMaximum(page.width(), m_cnvReport->width())));
}

void wndPrev::Show()
{
    if (isVisible()) {
        // An open window comes to the front for the newly chosen report.
        raise();
    }
    show();
    activateWindow();
    // Drawn here as well as on the activation event: a window manager may refuse to activate
    // the window, and the flag keeps the report from being drawn twice.
    Event_Activate();
}

void wndPrev::ShowModal()
{
    if (windowModality() != Qt::ApplicationModal) {
        // Qt takes a change of modality only while the window is hidden.
        hide();
        setWindowModality(Qt::ApplicationModal);
    }
    QPointer<wndPrev> self(this);
    QEventLoop loop;
    connect(this, &wndPrev::closed, &loop, &QEventLoop::quit);
    Show();
    if (self && isVisible()) {
        loop.exec();
    }
}

void wndPrev::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Event_Activate();
    }
    // The desktop's font changed while the window is open: fitted again under the new font.
    if (event->type() == QEvent::FontChange) {
        unfitTexts(*this);
        fitTexts(*this);
    }
}

void wndPrev::keyPressEvent(QKeyEvent *event)
{
    if (!scrollByKey(*event)) {
        QWidget::keyPressEvent(event);
    }
}

bool wndPrev::scrollByKey(const QKeyEvent &event)
{
    // As in a document view: a line of the wheel per arrow, the canvas's height per page, the
    // page's top and end; Space pages down, with Shift up.
    const int page = std::max(kWheelLine, m_cnvReport->height());
    QScrollBar *bar = m_slbVertivcal;
    int value = bar->value();
    switch (event.key()) {
    case Qt::Key_Up:
        value -= kWheelLine;
        break;
    case Qt::Key_Down:
        value += kWheelLine;
        break;
    case Qt::Key_Left:
        bar = m_slbHorizontal;
        value = bar->value() - kWheelLine;
        break;
    case Qt::Key_Right:
        bar = m_slbHorizontal;
        value = bar->value() + kWheelLine;
        break;
    case Qt::Key_PageUp:
        value -= page;
        break;
    case Qt::Key_PageDown:
        value += page;
        break;
    case Qt::Key_Space:
        value += event.modifiers() & Qt::ShiftModifier ? -page : page;
        break;
    case Qt::Key_Home:
        value = bar->minimum();
        break;
    case Qt::Key_End:
        value = bar->maximum();
        break;
    default:
        return false;
    }
    bar->setValue(value);
    return true;
}

bool wndPrev::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched == m_cnvReport &&
        scrollByKey(*static_cast<QKeyEvent *>(event))) {
        return true;
    }
    if (event->type() == QEvent::Wheel &&
        (watched == m_cnvReport || watched == m_slbVertivcal || watched == m_slbHorizontal)) {
        scrollByWheel(*static_cast<QWheelEvent *>(event), watched == m_slbHorizontal);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void wndPrev::scrollByWheel(const QWheelEvent &event, bool overHorizontalBar)
{
    // A touchpad tells the pixels to move; a wheel tells eighths of a degree, 120 a notch,
    // and a notch scrolls the system's number of lines.
    QPointF turn = event.pixelDelta();
    if (turn.isNull()) {
        turn = QPointF(event.angleDelta()) * (QApplication::wheelScrollLines() * kWheelLine) / 120.0;
    }
    // Over the horizontal bar, or with Shift, a turn of the wheel goes across.
    if ((overHorizontalBar || event.modifiers() & Qt::ShiftModifier) && turn.x() == 0) {
        turn = QPointF(turn.y(), 0);
    }
    // A fine wheel turns by parts of a pixel: what is left over goes with its next turn.
    turn += m_wheelLeftOver;
    const QPoint whole(static_cast<int>(turn.x()), static_cast<int>(turn.y()));
    m_wheelLeftOver = turn - QPointF(whole);
    m_slbHorizontal->setValue(m_slbHorizontal->value() - whole.x());
    m_slbVertivcal->setValue(m_slbVertivcal->value() - whole.y());
}

void wndPrev::closeEvent(QCloseEvent *event)
{
    Event_Close();
    event->accept();
    emit closed();
}

void wndPrev::Event_Open()
{
    m_PrevActivate = true;
}

void wndPrev::Event_Activate()
{
    if (!m_PrevActivate) {
        // Another program may have written meanwhile: the page on show is the ledger as it is.
        redrawIfLedgerChanged();
        return;
    }
    // Cleared before drawing: a message box shown while drawing gives the activation back to
    // this window, which must not start the drawing again.
    m_PrevActivate = false;
    if (!m_PBffer) {
        return;
    }
    if (m_iReportCode == kAssetReport) {
        m_grbRepNendo->setVisible(false);
        m_grbRepNendo->setEnabled(false);
        DrawSisanReport(m_PBffer.get(), m_PBffer->width(), m_PBffer->height(), false);
    } else if (m_iReportCode == kYearlyReport) {
        m_grbRepNendo->setVisible(true);
        m_grbRepNendo->setEnabled(true);
        DrawKakeiboReport(m_PBffer.get(), m_PBffer->width(), m_PBffer->height(), false);
    }
}

void wndPrev::Event_LedgerChanged()
{
    // The asset window does not block: the main window writes while it is open, or opens or
    // makes another ledger. Once drawn, it is drawn again from the ledger as it now is, so
    // that what it shows is what 印刷 prints. The yearly window is modal, and a print closes
    // the window once it is drawn.
    if (m_iReportCode != kAssetReport || m_PrevActivate || !m_PBffer || m_gPP != m_PBffer.get()) {
        return;
    }
    if (!connectedLedger()) {
        // Without an open ledger the page stays blank rather than show the one before; the
        // failed open has told why already.
        m_assetShown.reset();
        m_PBffer->fill(Qt::white);
        m_cnvReport->update();
        return;
    }
    redrawIfLedgerChanged();
}

void wndPrev::Event_Close()
{
    m_PBffer.reset();
    m_gPP = nullptr;
    m_PrevActivate = false;
    // The next report command makes a new window.
    if (openWindow() == this) {
        openWindow() = nullptr;
    }
}

void wndPrev::cnvReport_Paint(QPainter &g)
{
    const QRect canvas = m_cnvReport->rect();
    if (!m_PBffer) {
        g.fillRect(canvas, palette().window());
        return;
    }
    const QRect page(QPoint(m_cnvPosX, m_cnvPosY), logicalSize(*m_PBffer));
    // The part of the canvas the page leaves free is painted in the window's colour, so no
    // stale pixels show beside a small page.
    const QRegion uncovered = QRegion(canvas).subtracted(QRegion(page));
    for (const QRect &r : uncovered) {
        g.fillRect(r, palette().window());
    }
    g.drawImage(page.topLeft(), *m_PBffer);
}

void wndPrev::slbVertivcal_ValueChanged(int value)
{
    m_cnvPosY = -value;
    m_cnvReport->update();
}

void wndPrev::slbHorizontal_ValueChanged(int value)
{
    m_cnvPosX = -value;
    m_cnvReport->update();
}

void wndPrev::ppmNendo_Change()
{
    if (m_ppmNendo->listIndex() < 0 || !m_gPP) {
        return;
    }
    DrawKakeiboNendoReport(m_gPP, m_gPP->width(), m_gPP->height(), false);
}

void wndPrev::pbtCsvOutput_Action()
{
    if (m_iReportCode == kAssetReport) {
        OutputSisanCSV();
    } else if (m_iReportCode == kYearlyReport) {
        OutputKakeiboNendoCSV();
    }
}

void wndPrev::pbtPrint_Action()
{
    if (m_iReportCode != kAssetReport && m_iReportCode != kYearlyReport) {
        return;
    }
    // Without a chosen year every statement of the yearly report would fail.
    if (m_iReportCode == kYearlyReport && m_ppmNendo->listIndex() < 0) {
        return;
    }
    if (!reportLedger()) {
        return;
    }
    PageSetup setup;
    if (gPrinter.SetupDone) {
        setup = PageSetup::fromSetupString(gPS.setupString());
    } else {
        if (!Ui::instance().pageSetup(setup)) {
            return;
        }
        gPS = setup;
    }
    const bool landscape = m_iReportCode == kYearlyReport;
    setup.setLandscape(landscape);
    // The page count the dialog is given is that of the ledger as it is.
    redrawIfLedgerChanged();
    std::unique_ptr<QPrinter> printer = Ui::instance().print(setup, printedPageCount(setup));
    if (!printer) {
        return;
    }
    // The print dialog lets the orientation be changed; each report has its own.
    printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    // The grid's margins, indent and text sizes are pixels laid out for 72 dots per inch,
    // as on the preview page.
    printer->setResolution(kPrinterResolution);
    // Margins chosen for the other orientation may leave this one no room for the grid: the
    // print stops there rather than giving a garbled page, and the next print asks for the
    // setup again.
    if (const std::optional<QString> refusal = marginsRefusal(*printer, m_iReportCode, m_pPVal)) {
        Ui::instance().message(*refusal);
        gPrinter.SetupDone = false;
        return;
    }

    // Another program may have written while the dialogs were open: what is printed is the
    // reading the window then shows.
    redrawIfLedgerChanged();
    gPrinter.SetupDone = true;
    gPrinter.PageWidth = printer->width();
    gPrinter.PageHeight = printer->height();
    gPrinter.Resolution = std::max(printer->logicalDpiX(), printer->logicalDpiY());
    const strPreVal previewModel = m_pPVal;
    m_pPVal = fittedPrinterPageModel(m_iReportCode, m_pPVal, gPrinter.PageWidth, gPrinter.PageHeight,
                                     gPrinter.Resolution);
    m_gPP = printer.get();
    gPrinter.Landscape = landscape;
    if (m_iReportCode == kAssetReport) {
        DrawSisanReport(m_gPP, gPrinter.PageWidth, gPrinter.PageHeight, true);
    } else {
        DrawKakeiboNendoReport(m_gPP, gPrinter.PageWidth, gPrinter.PageHeight, true);
    }
    // The print job is finished; nothing may keep the printer after it is gone.
    m_gPP = m_PBffer.get();
    if (openWindow() == this) {
        // Nothing was printed, so the window stays: with its preview model.
        m_pPVal = previewModel;
    }
}

void wndPrev::finishDrawing(bool printing)
{
    if (printing) {
        close();
    } else {
        m_cnvReport->update();
    }
}

void wndPrev::DrawSisanReport(QPaintDevice *g, int32_t, int32_t, bool printing)
{
    LedgerConnection *db = reportLedger();
    if (!db || !g) {
        return;
    }
    // A print is made from the reading on show (drawn again first if the ledger changed).
    if (!printing || !m_assetShown) {
        m_shownReading = LedgerChanges::reading(*db);
        m_assetShown = readAssetReport(*db);
        if (m_assetShown->error) {
            Ui::instance().message(QString::fromUtf8(kAssetDrawFailure) + *m_assetShown->error);
        }
    }
    drawReport(g, printing, QStringLiteral("from Method DrawSisanReport: the printer could not be started"),
               shownReportPainter());
}

void wndPrev::DrawKakeiboReport(QPaintDevice *, int32_t, int32_t, bool)
{
    LedgerConnection *db = reportLedger();
    if (!db) {
        return;
    }
    const ReportYears years = readReportYears(*db);
    if (years.error) {
        Ui::instance().message(QString::fromUtf8(kReportYearsFailure) + *years.error);
    }
    m_ppmNendo->deleteAllRows();
    for (const QString &year : years.years) {
        m_ppmNendo->addRow(year);
    }
    // Selecting the first year draws it, before this returns.
    if (m_ppmNendo->rowCount() > 0) {
        m_ppmNendo->setListIndex(0);
    }
}

void wndPrev::DrawKakeiboNendoReport(QPaintDevice *g, int32_t, int32_t, bool printing)
{
    LedgerConnection *db = reportLedger();
    if (!db || !g) {
        return;
    }
    const QString year = m_ppmNendo->text();
    // A print is made from the reading on show (drawn again first if the ledger changed).
    if (!printing || !m_yearlyShown || m_yearShown != year) {
        m_shownReading = LedgerChanges::reading(*db);
        m_yearlyShown = readYearlyReport(*db, year);
        m_yearShown = year;
        for (size_t i = 0; i < m_yearlyShown->errors.size(); ++i) {
            if (m_yearlyShown->errors[i]) {
                Ui::instance().message(QString::fromUtf8(kYearlyDrawFailures[i]) + *m_yearlyShown->errors[i]);
            }
        }
    }
    drawReport(g, printing,
               QStringLiteral("from Method DrawKakeiboNendoReport: the printer could not be started"),
               shownReportPainter());
}

void wndPrev::drawReport(QPaintDevice *g, bool printing, const QString &printerFailure,
                         const ReportPainter &paint)
{
    QPrinter *printer = asPrinter(g);
    if (!printer) {
        drawPreview(paint);
        finishDrawing(printing);
        return;
    }
    switch (printSheets(*printer, paint)) {
    case Printed::Sheets:
        finishDrawing(printing);
        break;
    case Printed::NoChosenPage:
        // Nothing went onto paper: the window stays as it was.
        break;
    case Printed::PrinterFailed:
        Ui::instance().message(printerFailure);
        break;
    }
}

void wndPrev::OutputSisanCSV()
{
    LedgerConnection *db = reportLedger();
    if (!db) {
        return;
    }
    const std::optional<QString> path = Ui::instance().saveFile(QString::fromUtf8(kAssetCsvDialogTitle));
    if (!path) {
        return;
    }
    const std::optional<QString> failure = writeCsvFile(*path, [db] {
        const AssetReportData data = readAssetReport(*db);
        if (data.error) {
            Ui::instance().message(QString::fromUtf8(kAssetCsvFailure) + *data.error);
        }
        return assetReportCsv(data, today());
    });
    if (failure) {
        Ui::instance().message(QString::fromUtf8(kAssetCsvFailure) + *failure);
    }
}

void wndPrev::OutputKakeiboNendoCSV()
{
    if (m_ppmNendo->listIndex() < 0) {
        return;
    }
    LedgerConnection *db = reportLedger();
    if (!db) {
        return;
    }
    const std::optional<QString> path = Ui::instance().saveFile(QString::fromUtf8(kYearlyCsvDialogTitle));
    if (!path) {
        return;
    }
    const QString year = m_ppmNendo->text();
    const std::optional<QString> failure = writeCsvFile(*path, [db, year] {
        const YearlyReportData data = readYearlyReport(*db, year);
        for (size_t i = 0; i < data.errors.size(); ++i) {
            if (data.errors[i]) {
                Ui::instance().message(QString::fromUtf8(kYearlyCsvFailures[i]) + *data.errors[i]);
            }
        }
        return yearlyReportCsv(data, year, today());
    });
    if (failure) {
        Ui::instance().message(QString::fromUtf8(kYearlyCsvFileFailure) + *failure);
    }
}
