#pragma once
// A report surface that paints: onto the preview picture or onto a printer. Painting begins
// when the surface is made and ends with end() or when it is destroyed (for a printer, that
// finishes the print job). Which pages go onto paper, and in what order, the caller decides
// (printedSheets): a printer surface prints every page drawn on it.

#include "reports/ReportSurface.h"

#include <QFont>
#include <QPainter>

#include <optional>

class QPaintDevice;
class QPrinter;

class PainterSurface : public ReportSurface
{
public:
    // A printer surface: a page step starts the printer's next page.
    explicit PainterSurface(QPrinter *printer);
    // A picture surface holding pages one under the other, each pageHeight pixels high: a
    // page step moves the drawing down by one page.
    PainterSurface(QPaintDevice *picture, int pageHeight);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface &) = delete;
    PainterSurface &operator=(const PainterSurface &) = delete;

    // False when the device could not be painted on (a printer that did not start).
    bool isActive() const { return m_painter.isActive(); }
    void end();

    void setTextFont(const QString &name) override;
    void setBold(bool bold) override;
    void setUnderline(bool underline) override;
    void setForeColor(const QColor &color) override;
    void setTextSize(float size) override;
    QFontMetricsF metrics() const override;
    void drawText(int x, int y, const QString &text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void clearRect(int x, int y, int width, int height) override;
    void nextPage() override;

private:
    void begin(QPaintDevice *device);
    void applyFont();

    QPainter m_painter;
    QPrinter *m_printer = nullptr;
    int m_pageHeight = 0;
    QString m_fontName = QStringLiteral("System");
    bool m_bold = false;
    bool m_underline = false;
    float m_size = 10;
    // The measures of the current font, kept until it changes.
    mutable std::optional<QFontMetricsF> m_metrics;
};
