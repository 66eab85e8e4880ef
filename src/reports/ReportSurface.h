#pragma once
// The drawing surface a report is drawn on: the preview page, a printer, or a recording used
// to check a layout. Coordinates are pixels; a text is placed by its left end and baseline.

#include <QColor>
#include <QFontMetricsF>
#include <QString>

class ReportSurface
{
public:
    virtual ~ReportSurface() = default;

    // "System" is the report font; the surface resolves it to a fixed-pitch face, since the
    // reports align amounts by blanks.
    virtual void setTextFont(const QString &name) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void setUnderline(bool underline) = 0;
    virtual void setForeColor(const QColor &color) = 0;
    // A text size in pixels.
    virtual void setTextSize(float size) = 0;

    // The measures of the current font in the current size, as the surface draws it: used to
    // keep a text clear of the next column.
    virtual QFontMetricsF metrics() const = 0;

    // The text on one line, not wrapped and not condensed.
    virtual void drawText(int x, int y, const QString &text) = 0;
    // A one-pixel line; both end points are drawn.
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    // Paints the rectangle in the page's background colour.
    virtual void clearRect(int x, int y, int width, int height) = 0;
    // Ends the page and starts the next one.
    virtual void nextPage() = 0;

    // The face that stands for a report font name: "System" is a fixed-pitch face, since the
    // reports align amounts by blanks. Every surface measures and draws with this font.
    static QFont reportFont(const QString &name, bool bold, bool underline, float size);
};
