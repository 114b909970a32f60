#include "gui/search/MarkedLineDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include "gui/search/ResultModels.h"

namespace orbisk {

namespace {

const QString kOn = QStringLiteral("<B>");
const QString kOff = QStringLiteral("</B>");

// Calls draw(piece, marked) for each stretch of the line, marks left out.
template <typename Draw>
void WalkPieces(const QString& line, Draw draw) {
    bool marked = false;
    qsizetype start = 0;
    qsizetype at = 0;
    while (at < line.size()) {
        const bool on = line.mid(at, kOn.size()) == kOn;
        const bool off = !on && line.mid(at, kOff.size()) == kOff;
        if (!on && !off) {
            ++at;
            continue;
        }
        if (at > start) draw(line.mid(start, at - start), marked);
        marked = on;
        at += on ? kOn.size() : kOff.size();
        start = at;
    }
    if (at > start) draw(line.mid(start, at - start), marked);
}

} // namespace

MarkedLineDelegate::MarkedLineDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void MarkedLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const bool selected = item.state & QStyle::State_Selected;
    const QPalette& palette = item.palette;
    painter->save();
    painter->fillRect(item.rect, selected ? palette.highlight() : palette.base());
    const QColor text = selected ? palette.highlightedText().color() : palette.text().color();
    QFont plain = item.font;
    QFont bold = plain;
    bold.setBold(true);
    int x = item.rect.left() + 2;
    const QRect& rect = item.rect;
    WalkPieces(index.data().toString(), [&](const QString& piece, bool marked) {
        const QFont& font = marked && bold_ ? bold : plain;
        const int width = QFontMetrics(font).horizontalAdvance(piece);
        const QRect area(x, rect.top(), width, rect.height());
        painter->setFont(font);
        if (marked && !bold_) {
            painter->fillRect(area, QColor(255, 255, 0));
            painter->setPen(Qt::black);
        } else {
            painter->setPen(text);
        }
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece);
        x += width;
    });
    painter->restore();
}

QSize MarkedLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QFont bold = option.font;
    bold.setBold(true);
    int width = 4;
    // Rows are uniform: the longest line, when the model names it, sets the
    // width of all of them.
    const QVariant longest = index.data(SearchTextModel::LongestLineRole);
    const QString line = longest.isValid() ? longest.toString() : index.data().toString();
    WalkPieces(line, [&](const QString& piece, bool marked) {
        width += QFontMetrics(marked ? bold : option.font).horizontalAdvance(piece);
    });
    return {width, QFontMetrics(bold).height() + 2};
}

} // namespace orbisk
