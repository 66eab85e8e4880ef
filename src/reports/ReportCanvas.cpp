#include "reports/ReportCanvas.h"

#include <QPainter>

ReportCanvas::ReportCanvas(QWidget *parent) : QWidget(parent)
{
    // The handler covers the whole canvas itself: no erase before painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReportCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_handler) {
        m_handler(painter);
    }
}
