#pragma once
// Draws grid lines between the cells of a report view when switched on.
#include <QStyledItemDelegate>

namespace orbisk {

class GridLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool on) { gridLines_ = on; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    bool gridLines_ = false;
};

} // namespace orbisk
