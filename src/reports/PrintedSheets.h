#pragma once
// What goes onto paper when a report is printed: which of its pages, in which order and how
// often, as the print dialog left the printer; and a surface that passes on one page only.

#include "reports/ReportSurface.h"

#include <vector>

class QPrinter;

// The report's pages (from 1) in the order they go onto sheets: the pages chosen in the print
// dialog that the report has, last first when the dialog asked for that order, and each copy
// the printer leaves to the program (a PDF file does) collated or page by page. Empty when no
// chosen page is one of the report's.
std::vector<int> printedSheets(int pageCount, const QPrinter &printer);

// Passes everything drawn on one page of a report on to another surface and leaves out the
// rest; page steps are not passed on. The whole report is drawn through it for each sheet, so
// that the target's font and size are set as a drawing of the whole report sets them.
class OnePageSurface : public ReportSurface
{
public:
    OnePageSurface(ReportSurface &target, int page) : m_target(target), m_page(page) {}

    void setTextFont(const QString &name) override { m_target.setTextFont(name); }
    void setBold(bool bold) override { m_target.setBold(bold); }
    void setUnderline(bool underline) override { m_target.setUnderline(underline); }
    void setForeColor(const QColor &color) override { m_target.setForeColor(color); }
    void setTextSize(float size) override { m_target.setTextSize(size); }
    QFontMetricsF metrics() const override { return m_target.metrics(); }
    void drawText(int x, int y, const QString &text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void clearRect(int x, int y, int width, int height) override;
    void nextPage() override { ++m_drawing; }

private:
    ReportSurface &m_target;
    int m_page;
    // The page being drawn.
    int m_drawing = 1;
};
