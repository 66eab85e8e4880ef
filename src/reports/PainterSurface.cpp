#include "reports/PainterSurface.h"

#include <QFontDatabase>
#include <QPrinter>

#include <cmath>

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
    m_font = QFont(reportFontFamily());
    m_font.setStyleHint(QFont::TypeWriter);
    m_font.setPixelSize(10);
    m_painter.setFont(m_font);
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

QString PainterSurface::reportFontFamily()
{
    static const QString family = [] {
        // A monospaced face that has the Japanese glyphs too keeps full-width text at twice
        // the width of a digit, so blank-padded columns line up.
        const QString cjkMono = QStringLiteral("Noto Sans Mono CJK JP");
        if (QFontDatabase::families().contains(cjkMono)) {
            return cjkMono;
        }
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return family;
}

void PainterSurface::setTextFont(const QString &name)
{
    m_font.setFamily(name == QLatin1String("System") ? reportFontFamily() : name);
    m_painter.setFont(m_font);
}

void PainterSurface::setBold(bool bold)
{
    m_font.setBold(bold);
    m_painter.setFont(m_font);
}

void PainterSurface::setUnderline(bool underline)
{
    m_font.setUnderline(underline);
    m_painter.setFont(m_font);
}

void PainterSurface::setForeColor(const QColor &color)
{
    QPen pen = m_painter.pen();
    pen.setColor(color);
    m_painter.setPen(pen);
}

void PainterSurface::setTextSize(float size)
{
    m_font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    m_painter.setFont(m_font);
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
    if (m_printer) {
        m_printer->newPage();
    } else {
        m_painter.translate(0, m_pageHeight);
    }
}
