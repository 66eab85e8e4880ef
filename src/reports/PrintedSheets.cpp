#include "reports/PrintedSheets.h"

#include <QPrinter>

#include <algorithm>

std::vector<int> printedSheets(int pageCount, const QPrinter &printer)
{
    std::vector<int> pages;
    const QPageRanges chosen = printer.pageRanges();
    const bool allPages = printer.printRange() != QPrinter::PageRange || chosen.isEmpty();
    for (int page = 1; page <= pageCount; ++page) {
        if (allPages || chosen.contains(page)) {
            pages.push_back(page);
        }
    }
    // Qt leaves the order to the program, and the copies too where the printer cannot make them.
    if (printer.pageOrder() == QPrinter::LastPageFirst) {
        std::reverse(pages.begin(), pages.end());
    }
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    std::vector<int> sheets;
    sheets.reserve(pages.size() * copies);
    if (printer.collateCopies()) {
        for (int copy = 0; copy < copies; ++copy) {
            sheets.insert(sheets.end(), pages.begin(), pages.end());
        }
    } else {
        for (int page : pages) {
            sheets.insert(sheets.end(), copies, page);
        }
    }
    return sheets;
}

void OnePageSurface::drawText(int x, int y, const QString &text)
{
    if (m_drawing == m_page) {
        m_target.drawText(x, y, text);
    }
}

void OnePageSurface::drawLine(int x1, int y1, int x2, int y2)
{
    if (m_drawing == m_page) {
        m_target.drawLine(x1, y1, x2, y2);
    }
}

void OnePageSurface::clearRect(int x, int y, int width, int height)
{
    if (m_drawing == m_page) {
        m_target.clearRect(x, y, width, height);
    }
}
