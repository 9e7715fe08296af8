// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/statusdelegate.h"

#include <QPainter>

void StatusDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!(option.state & QStyle::State_Selected)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem unselected(option);
    unselected.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, unselected, index);

    const QColor highlight = option.palette.color(QPalette::Active, QPalette::Highlight);
    painter->save();
    painter->setPen(QPen(highlight, 3));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option.rect).adjusted(1.5, 1.5, -1.5, -1.5));
    painter->restore();
}
