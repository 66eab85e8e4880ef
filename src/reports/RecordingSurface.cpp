#include "reports/RecordingSurface.h"

RecordingSurface::Operation RecordingSurface::current(Operation::Kind kind) const
{
    Operation op;
    op.kind = kind;
    op.page = m_pageCount;
    op.size = m_size;
    op.font = m_font;
    op.bold = m_bold;
    op.underline = m_underline;
    op.color = m_color;
    return op;
}

QFontMetricsF RecordingSurface::metrics() const
{
    if (!m_metrics) {
        m_metrics.emplace(reportFont(m_font, m_bold, m_underline, m_size));
    }
    return *m_metrics;
}

void RecordingSurface::drawText(int x, int y, const QString &text)
{
    Operation op = current(Operation::Kind::Text);
    op.x1 = x;
    op.y1 = y;
    op.text = text;
    m_operations.append(op);
}

void RecordingSurface::drawLine(int x1, int y1, int x2, int y2)
{
    Operation op = current(Operation::Kind::Line);
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    m_operations.append(op);
}

void RecordingSurface::clearRect(int x, int y, int width, int height)
{
    Operation op = current(Operation::Kind::Clear);
    op.x1 = x;
    op.y1 = y;
    op.x2 = width;
    op.y2 = height;
    m_operations.append(op);
}

QList<RecordingSurface::Operation> RecordingSurface::ofKind(Operation::Kind kind) const
{
    QList<Operation> result;
    for (const Operation &op : m_operations) {
        if (op.kind == kind) {
            result.append(op);
        }
    }
    return result;
}
