// The report window on a screen scaled to 200%, as a desktop set to that scale gives it: the
// preview page is drawn at the screen's device pixel ratio, so a grab of the window shows the
// page as sharp as a page painted at that ratio, while the window's layout and the page's
// scroll ranges stay in the window's own pixels.

#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "platform/RollingDate.h"
#include "reports/AssetReport.h"
#include "reports/PageModel.h"
#include "reports/PainterSurface.h"
#include "reports/YearlyReport.h"
#include "reports/wndPrev.h"

#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

// Read when the application starts, before any test runs.
const bool kScaledScreen = qputenv("QT_SCALE_FACTOR", "2");

class ScaledPreviewTest : public ReportTest
{
protected:
    static wndPrev *window() { return wndPrev::exists() ? wndPrev::instance() : nullptr; }

    // The canvas part of a grab of the window, in device pixels.
    static QImage grabbedCanvas()
    {
        const QImage shot = window()->grab().toImage();
        QWidget *canvas = window()->findChild<QWidget *>(QStringLiteral("cnvReport"));
        const qreal ratio = shot.devicePixelRatio();
        const QRect area(canvas->geometry().topLeft() * ratio, canvas->size() * ratio);
        return shot.copy(area);
    }

    // A page painted at the ratio by the same painter the report uses, clipped to what the
    // canvas shows of it from its top left corner.
    template <typename Paint>
    static QImage paintedAt(qreal ratio, const QSize &page, int pageHeight, const QSize &shown, Paint paint)
    {
        QImage picture(page * ratio, QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::white);
        {
            PainterSurface surface(&picture, pageHeight);
            paint(surface);
        }
        return picture.copy(QRect(QPoint(0, 0), shown));
    }
};

TEST_F(ScaledPreviewTest, TheAssetPageIsDrawnAtTheScreensRatio)
{
    exec(QStringLiteral("UPDATE Sisan SET Zankin = 1234567 WHERE Id = 1"));
    wndPrev::openReport(kAssetReport);
    wndPrev *w = window();
    ASSERT_TRUE(w);
    ASSERT_EQ(w->devicePixelRatioF(), 2.0) << "the screen is not scaled";

    // The window and its ranges are as at scale 1.
    EXPECT_EQ(w->size(), QSize(900, 686));
    EXPECT_EQ(w->findChild<QScrollBar *>(QStringLiteral("slbVertivcal"))->maximum(), 306);
    EXPECT_EQ(w->findChild<QScrollBar *>(QStringLiteral("slbHorizontal"))->maximum(), 0);
    ASSERT_TRUE(w->PBffer());
    EXPECT_EQ(w->PBffer()->devicePixelRatio(), 2.0);
    EXPECT_EQ(w->PBffer()->deviceIndependentSize(), QSizeF(595, 847));

    const QImage canvas = grabbedCanvas();
    keepPicture(canvas, QStringLiteral("asset-canvas-at-2.png"));
    // The page takes the canvas's left and the canvas's full height.
    const QSize shown(595 * 2, canvas.height());
    const strPreVal model = w->pPVal();
    const AssetReportData data = readAssetReport(*KakeiboDB);
    const QImage expected = paintedAt(2.0, QSize(595, 847), 847, shown, [&](ReportSurface &g) {
        paintAssetReport(g, model, data, RollingDate::today().shortDate());
    });
    EXPECT_TRUE(canvas.copy(QRect(QPoint(0, 0), shown)) == expected)
        << "the grab is not the page painted at the screen's ratio";
}

TEST_F(ScaledPreviewTest, TheYearlyPageIsDrawnAtTheScreensRatio)
{
    addEntry(2024, 1, 25, 1, 2, 77, 300000);
    addEntry(2024, 3, 1, 1, 1, 2, 2500);
    QImage canvas;
    QSizeF page;
    qreal ratio = 0;
    withYearlyReport([&](wndPrev *w) {
        ASSERT_TRUE(w->PBffer());
        ratio = w->PBffer()->devicePixelRatio();
        page = w->PBffer()->deviceIndependentSize();
        canvas = grabbedCanvas();
    });
    EXPECT_EQ(ratio, 2.0);
    EXPECT_EQ(page, QSizeF(847, 1200));
    keepPicture(canvas, QStringLiteral("yearly-canvas-at-2.png"));
    ASSERT_FALSE(canvas.isNull());

    const strPreVal model = *previewPageModel(kYearlyReport);
    const YearlyReportData data = readYearlyReport(*KakeiboDB, QStringLiteral("2024"));
    const QSize shown(847 * 2, canvas.height());
    const QImage expected = paintedAt(2.0, QSize(847, 1200), 1200, shown, [&](ReportSurface &g) {
        paintYearlyReport(g, model, data, QStringLiteral("2024"), RollingDate::today().shortDate());
    });
    EXPECT_TRUE(canvas.copy(QRect(QPoint(0, 0), shown)) == expected)
        << "the grab is not the page painted at the screen's ratio";
}

} // namespace
