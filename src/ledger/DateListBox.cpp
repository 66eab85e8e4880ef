#include "ledger/DateListBox.h"

#include "platform/TextFit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Column widths in percent: "40%,10%,20%,10%,20%".
constexpr int kPercents[5] = {40, 10, 20, 10, 20};
const QColor kActiveColour(0x3399CC);
const QColor kTextColour(QRgb(0x000000));

} // namespace

DateListBox::DateListBox(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DateListBox1"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Event_Open();
}

void DateListBox::Event_Open()
{
    mTheDate = RollingDate::today();
    resize(120, 20);
    DisplayDate();
}

void DateListBox::DisplayDate()
{
    m_cells[0] = QString::number(mTheDate.year());
    m_cells[1] = QStringLiteral("/");
    m_cells[2] = QString::number(mTheDate.month());
    m_cells[3] = QStringLiteral("/");
    m_cells[4] = QString::number(mTheDate.day());
    update();
}

QString DateListBox::cell(int column) const
{
    return column >= 0 && column < 5 ? m_cells[size_t(column)] : QString();
}

QColor DateListBox::cellTextColour(int column) const
{
    return column == ymdCoilumn ? kActiveColour : kTextColour;
}

void DateListBox::Event_CellClick()
{
    // Whichever cell was clicked, the day becomes the part to change.
    ymdCoilumn = 4;
    DisplayDate();
}

void DateListBox::Event_KeyDown(int code)
{
    // Unsigned steps: before the first click the column walks odd values without end, and
    // wrapping is defined where signed overflow is not.
    switch (code) {
    case kLeft:
        ymdCoilumn = ymdCoilumn == 0 ? 4 : int32_t(uint32_t(ymdCoilumn) - 2u);
        break;
    case kRight:
        ymdCoilumn = ymdCoilumn == 4 ? 0 : int32_t(uint32_t(ymdCoilumn) + 2u);
        break;
    case kUp:
        DateUpDown(1);
        break;
    case kDown:
        DateUpDown(-1);
        break;
    default:
        break;
    }
    DisplayDate();
}

void DateListBox::DateUpDown(int32_t delta)
{
    // A step leaving the years 1000 to 9999 is ignored by the date itself.
    switch (ymdCoilumn) {
    case 0:
        mTheDate.setYear(mTheDate.year() + delta);
        break;
    case 2:
        mTheDate.setMonth(mTheDate.month() + delta);
        break;
    case 4:
        mTheDate.setDay(mTheDate.day() + delta);
        break;
    default:
        break;
    }
}

QRect DateListBox::cellRect(int column) const
{
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    int left = inner.left();
    for (int c = 0; c < column; ++c) {
        left += inner.width() * kPercents[c] / 100;
    }
    const int width = column == 4 ? inner.right() + 1 - left : inner.width() * kPercents[column] / 100;
    return QRect(left, inner.top(), width, inner.height());
}

QFont DateListBox::cellFont() const
{
    // Under a large application font the digits would be cut at the cells' edges: they are
    // drawn in the largest font in which every cell's text stands whole in its cell.
    return largestFittingFont(font(), [this](const QFont &candidate) {
        const QFontMetrics metrics(candidate);
        for (int c = 0; c < 5; ++c) {
            const QRect cell = cellRect(c);
            if (metrics.horizontalAdvance(m_cells[size_t(c)]) > cell.width() ||
                metrics.height() > cell.height()) {
                return false;
            }
        }
        return true;
    });
}

void DateListBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The row is always drawn white: the platform's selection highlight never shows.
    painter.fillRect(rect(), QColor(0xFFFFFF));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(cellFont());
    for (int c = 0; c < 5; ++c) {
        painter.setPen(isEnabled() ? cellTextColour(c) : palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(cellRect(c), Qt::AlignCenter, m_cells[size_t(c)]);
    }
}

void DateListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        Event_CellClick();
    }
    event->accept();
}

void DateListBox::keyPressEvent(QKeyEvent *event)
{
    int code = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        code = kLeft;
        break;
    case Qt::Key_Right:
        code = kRight;
        break;
    case Qt::Key_Up:
        code = kUp;
        break;
    case Qt::Key_Down:
        code = kDown;
        break;
    default:
        break;
    }
    Event_KeyDown(code);
    // The arrows are this control's own; every other key goes on as usual.
    if (code != 0) {
        event->accept();
    } else {
        QWidget::keyPressEvent(event);
    }
}
