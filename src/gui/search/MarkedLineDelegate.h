#pragma once
// Draws a line of a search window's text view: the characters between "<B>"
// and "</B>" are marked (bold, or black on yellow) and the marks themselves
// are not drawn.
#include <QStyledItemDelegate>

namespace orbisk {

class MarkedLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit MarkedLineDelegate(QObject* parent = nullptr);

    // True: marked characters in bold; false: black on yellow.
    void SetBold(bool bold) { bold_ = bold; }
    bool Bold() const { return bold_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    bool bold_ = true;
};

} // namespace orbisk
