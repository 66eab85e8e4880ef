#include "reports/PainterSurface.h"

#include <QPrinter>

PainterSurface::PainterSurface(QPrinter *printer) : m_printer(printer)
{
    begin(printer);
}

PainterSurface::PainterSurface(QPaintDevice *picture, int pageHeight) : m_pageHeight(pageHeight)
{
    begin(picture);
}

PainterSurface::~PainterSurface()
{
    end();
}

void PainterSurface::begin(QPaintDevice *device)
{
    if (!m_painter.begin(device)) {
        return;
    }
    applyFont();
    QPen pen(Qt::black);
    pen.setWidth(0);
    pen.setCosmetic(true);
    m_painter.setPen(pen);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

void PainterSurface::end()
{
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

void PainterSurface::applyFont()
{
    m_painter.setFont(reportFont(m_fontName, m_bold, m_underline, m_size));
    m_metrics.reset();
}

void PainterSurface::setTextFont(const QString &name)
{
    if (name != m_fontName) {
        m_fontName = name;
        applyFont();
    }
}

void PainterSurface::setBold(bool bold)
{
    if (bold != m_bold) {
        m_bold = bold;
        applyFont();
    }
}

void PainterSurface::setUnderline(bool underline)
{
    if (underline != m_underline) {
        m_underline = underline;
        applyFont();
    }
}

void PainterSurface::setForeColor(const QColor &color)
{
    QPen pen = m_painter.pen();
    pen.setColor(color);
    m_painter.setPen(pen);
}

void PainterSurface::setTextSize(float size)
{
    if (size != m_size) {
        m_size = size;
        applyFont();
    }
}

QFontMetricsF PainterSurface::metrics() const
{
    if (!m_metrics) {
        m_metrics.emplace(m_painter.font(), m_painter.device());
    }
    return *m_metrics;
}

void PainterSurface::drawText(int x, int y, const QString &text)
{
    m_painter.drawText(QPoint(x, y), text);
}

void PainterSurface::drawLine(int x1, int y1, int x2, int y2)
{
    m_painter.drawLine(x1, y1, x2, y2);
}

void PainterSurface::clearRect(int x, int y, int width, int height)
{
    m_painter.fillRect(x, y, width, height, Qt::white);
}

void PainterSurface::nextPage()
{
    if (!m_printer) {
        m_painter.translate(0, m_pageHeight);
        return;
    }
    // begin() started the first sheet.
    m_printer->newPage();
}
