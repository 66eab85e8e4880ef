#include "maintenance/VerticalGridDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

void VerticalGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    // The colour a table view would draw its own grid in.
    const auto gridColour = QColor::fromRgba(
        static_cast<QRgb>(style->styleHint(QStyle::SH_Table_GridLineColor, &option, widget)));
    painter->save();
    painter->setPen(gridColour);
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
}
