#pragma once
// Draws the maintenance lists' cells as usual and then a grid line down each cell's right
// edge: the account and category lists separate their columns with vertical lines only.

#include <QStyledItemDelegate>

class VerticalGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
