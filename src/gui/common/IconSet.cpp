#include "gui/common/IconSet.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace orbisk {

namespace {

// Pictures are drawn on a grid of 16 x 16 units, scaled to the size asked for.
constexpr int kFolderTree = -1;
// Command pictures follow the file pictures: kCommandBase + CommandPicture.
constexpr int kCommandBase = 100;

void Sheet(QPainter& p) {
    QPainterPath sheet;
    sheet.moveTo(3, 1);
    sheet.lineTo(10, 1);
    sheet.lineTo(13, 4);
    sheet.lineTo(13, 15);
    sheet.lineTo(3, 15);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 0.8));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.drawPolyline(QPolygonF({QPointF(10, 1), QPointF(10, 4), QPointF(13, 4)}));
}

void Folder(QPainter& p, bool open) {
    p.setPen(QPen(QColor(0xa0, 0x78, 0x00), 0.8));
    p.setBrush(QColor(0xe0, 0xa8, 0x00));
    p.drawRoundedRect(QRectF(1, 2.5, 6, 3), 1, 1);
    p.drawRect(QRectF(1, 4, 14, 10));
    p.setBrush(QColor(0xf7, 0xc8, 0x4a));
    if (open)
        p.drawPolygon(
            QPolygonF({QPointF(3, 7), QPointF(15.5, 7), QPointF(13, 14), QPointF(1, 14)}));
    else
        p.drawRect(QRectF(1, 5.5, 14, 8.5));
}

void Arrow(QPainter& p) {
    p.setPen(QPen(QColor(0x1e, 0x6e, 0x28), 0.6));
    p.setBrush(QColor(0x3c, 0xa8, 0x46));
    p.drawPolygon(QPolygonF({QPointF(8, 5.5), QPointF(12, 9.5), QPointF(9.6, 9.5), QPointF(9.6, 13),
                             QPointF(6.4, 13), QPointF(6.4, 9.5), QPointF(4, 9.5)}));
}

void Packed(QPainter& p) {
    p.setPen(QPen(QColor(0x7a, 0x52, 0x28), 0.8));
    p.setBrush(QColor(0xd2, 0xa0, 0x64));
    p.drawRect(QRectF(2, 3, 12, 11));
    p.setBrush(QColor(0x8b, 0x5a, 0x2b));
    p.drawRect(QRectF(7, 3, 2, 11));
    p.setPen(QPen(QColor(0xf0, 0xe0, 0xc0), 0.7));
    for (double y = 4.5; y < 13; y += 2)
        p.drawLine(QPointF(7.3, y), QPointF(8.7, y));
}

void Program(QPainter& p) {
    p.setPen(QPen(QColor(0x40, 0x4a, 0x60), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1, 2, 14, 12));
    p.setBrush(QColor(0x34, 0x65, 0xa4));
    p.drawRect(QRectF(1, 2, 14, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc0, 0xc8, 0xd8));
    p.drawRect(QRectF(3, 7, 4, 5));
}

void Lines(QPainter& p) {
    p.setPen(QPen(QColor(0x34, 0x65, 0xa4), 0.9));
    for (double y : {6.0, 8.0, 10.0})
        p.drawLine(QPointF(5, y), QPointF(11, y));
    p.drawLine(QPointF(5, 12), QPointF(9, 12));
}

void Note(QPainter& p) {
    p.setPen(QPen(QColor(0x5c, 0x35, 0x66), 1.0));
    p.setBrush(QColor(0x75, 0x50, 0x7b));
    p.drawEllipse(QPointF(6.6, 12), 1.8, 1.4);
    p.drawLine(QPointF(8.3, 12), QPointF(8.3, 5.5));
    p.drawLine(QPointF(8.3, 5.5), QPointF(11, 7.2));
}

void Play(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xcc, 0x00, 0x00));
    p.drawPolygon(QPolygonF({QPointF(5.5, 6), QPointF(11.5, 9.5), QPointF(5.5, 13)}));
}

void Picture(QPainter& p) {
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 0.8));
    p.setBrush(QColor(0x9f, 0xd4, 0xf0));
    p.drawRect(QRectF(1, 3, 14, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4e, 0x9a, 0x06));
    p.drawPolygon(QPolygonF({QPointF(1.4, 12.6), QPointF(6, 7), QPointF(9, 10.5), QPointF(11, 8.5),
                             QPointF(14.6, 12.6)}));
    p.setBrush(QColor(0xfc, 0xe9, 0x4f));
    p.drawEllipse(QPointF(11.5, 5.6), 1.4, 1.4);
}

void Globe(QPainter& p) {
    p.setPen(QPen(QColor(0x20, 0x4a, 0x87), 0.7));
    p.setBrush(QColor(0x72, 0x9f, 0xcf));
    p.drawEllipse(QPointF(8, 9.5), 3.8, 3.8);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 9.5), 1.6, 3.8);
    p.drawLine(QPointF(4.2, 9.5), QPointF(11.8, 9.5));
}

void Help(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x34, 0x65, 0xa4));
    p.drawEllipse(QPointF(8, 8), 7, 7);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
}

void Disc(QPainter& p) {
    QConicalGradient shine(QPointF(8, 8), 45);
    shine.setColorAt(0, QColor(0xe8, 0xe8, 0xf0));
    shine.setColorAt(0.25, QColor(0xb0, 0xc8, 0xe8));
    shine.setColorAt(0.5, QColor(0xe8, 0xe8, 0xf0));
    shine.setColorAt(0.75, QColor(0xe8, 0xc8, 0xb0));
    shine.setColorAt(1, QColor(0xe8, 0xe8, 0xf0));
    p.setPen(QPen(QColor(0x70, 0x70, 0x78), 0.7));
    p.setBrush(shine);
    p.drawEllipse(QPointF(8, 8), 7, 7);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 2, 2);
}

// Command pictures.

void Badge(QPainter& p, bool disc) {
    p.save();
    p.translate(8, 8);
    p.scale(0.5, 0.5);
    if (disc)
        Disc(p);
    else
        Folder(p, false);
    p.restore();
}

void Plus(QPainter& p) {
    p.setPen(QPen(QColor(0x1e, 0x6e, 0x28), 0.5));
    p.setBrush(QColor(0x3c, 0xa8, 0x46));
    p.drawPolygon(QPolygonF({QPointF(10, 8), QPointF(12, 8), QPointF(12, 10), QPointF(14, 10),
                             QPointF(14, 12), QPointF(12, 12), QPointF(12, 14), QPointF(10, 14),
                             QPointF(10, 12), QPointF(8, 12), QPointF(8, 10), QPointF(10, 10)}));
}

void Floppy(QPainter& p) {
    p.setPen(QPen(QColor(0x20, 0x30, 0x50), 0.8));
    p.setBrush(QColor(0x34, 0x65, 0xa4));
    p.drawPolygon(QPolygonF(
        {QPointF(2, 2), QPointF(12.5, 2), QPointF(14, 3.5), QPointF(14, 14), QPointF(2, 14)}));
    p.setBrush(QColor(0xd0, 0xd8, 0xe0));
    p.drawRect(QRectF(4.5, 2, 6.5, 4.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 9, 8, 5));
}

void Magnifier(QPainter& p, double x, double y, double r) {
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x + r * 0.7, y + r * 0.7), QPointF(x + r * 1.9, y + r * 1.9));
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.0));
    p.setBrush(QColor(0xc8, 0xe4, 0xff));
    p.drawEllipse(QPointF(x, y), r, r);
}

void Table(QPainter& p) {
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    for (double x : {5.8, 10.2})
        p.drawLine(QPointF(x, 2.5), QPointF(x, 13.5));
    for (double y : {6.2, 9.8})
        p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
}

// Rows of a list view; report rows run the full width below a header,
// list rows stand in two columns of item and name.
void Rows(QPainter& p, bool report, const QColor& ink) {
    p.setPen(Qt::NoPen);
    if (report) {
        p.setBrush(ink.lighter(150));
        p.drawRect(QRectF(1, 1.5, 14, 2.5));
        p.setBrush(ink);
        for (double y : {5.5, 8.5, 11.5}) {
            p.drawRect(QRectF(1, y, 2, 2));
            p.drawRect(QRectF(4, y + 0.5, 5, 1));
            p.drawRect(QRectF(10, y + 0.5, 5, 1));
        }
        return;
    }
    p.setBrush(ink);
    for (double x : {1.0, 8.5})
        for (double y : {2.0, 5.5, 9.0, 12.5}) {
            p.drawRect(QRectF(x, y, 2, 2));
            p.drawRect(QRectF(x + 2.8, y + 0.5, 3.2, 1));
        }
}

void Tiles(QPainter& p, bool large) {
    p.setPen(QPen(QColor(0x20, 0x4a, 0x87), 0.6));
    p.setBrush(QColor(0x72, 0x9f, 0xcf));
    const double size = large ? 5.5 : 3.2;
    const double step = large ? 7.5 : 5.0;
    const int count = large ? 2 : 3;
    for (int row = 0; row < count; ++row)
        for (int col = 0; col < count; ++col)
            p.drawRect(QRectF(1 + col * step, 1 + row * step, size, size));
}

void House(QPainter& p) {
    p.setPen(QPen(QColor(0x7a, 0x1e, 0x1e), 0.8));
    p.setBrush(QColor(0xcc, 0x33, 0x33));
    p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(15, 8), QPointF(1, 8)}));
    p.setPen(QPen(QColor(0x60, 0x50, 0x40), 0.8));
    p.setBrush(QColor(0xf0, 0xe0, 0xc0));
    p.drawRect(QRectF(3, 8, 10, 6.5));
    p.setBrush(QColor(0x8b, 0x5a, 0x2b));
    p.drawRect(QRectF(7, 10, 2.5, 4.5));
}

// A stack of discs with a list beside it: the reverse list.
void Database(QPainter& p) {
    p.setPen(QPen(QColor(0x40, 0x4a, 0x60), 0.7));
    for (double y : {11.0, 7.5, 4.0}) {
        p.setBrush(QColor(0x8a, 0xb4, 0xe0));
        p.drawRect(QRectF(1.5, y, 8, 2.5));
        p.setBrush(QColor(0xc8, 0xdc, 0xf4));
        p.drawEllipse(QRectF(1.5, y - 1.2, 8, 2.4));
    }
    p.setBrush(Qt::white);
    p.drawRect(QRectF(10.5, 2, 4.5, 12));
    p.setPen(QPen(QColor(0x34, 0x65, 0xa4), 0.8));
    for (double y : {4.5, 7.0, 9.5, 12.0})
        p.drawLine(QPointF(11.5, y), QPointF(14, y));
}

void DrawCommand(QPainter& p, CommandPicture picture) {
    const QColor archiveInk(0x8a, 0x4b, 0x08), contentInk(0x34, 0x65, 0xa4);
    switch (picture) {
    case CommandPicture::New:
        Sheet(p);
        return Plus(p);
    case CommandPicture::Open:
        return Folder(p, true);
    case CommandPicture::Save:
        return Floppy(p);
    case CommandPicture::Find:
        Sheet(p);
        return Magnifier(p, 7, 7, 3.5);
    case CommandPicture::FindAll:
        p.save();
        p.scale(0.75, 0.75);
        Disc(p);
        p.translate(5, 3);
        Disc(p);
        p.restore();
        return Magnifier(p, 7, 7, 3.5);
    case CommandPicture::ExportHtml:
        Sheet(p);
        return Globe(p);
    case CommandPicture::Database:
        return Database(p);
    case CommandPicture::Grid:
        return Table(p);
    case CommandPicture::ArchiveList:
    case CommandPicture::ArchiveReport:
        Rows(p, picture == CommandPicture::ArchiveReport, archiveInk);
        return Badge(p, true);
    case CommandPicture::LargeIcons:
        return Tiles(p, true);
    case CommandPicture::SmallIcons:
        return Tiles(p, false);
    case CommandPicture::List:
    case CommandPicture::Report:
        Rows(p, picture == CommandPicture::Report, contentInk);
        return Badge(p, false);
    case CommandPicture::HomePage:
        return House(p);
    case CommandPicture::Help:
        return Help(p);
    }
}

void Draw(QPainter& p, int index, bool selected) {
    if (index >= kCommandBase)
        return DrawCommand(p, static_cast<CommandPicture>(index - kCommandBase));
    switch (index) {
    case kFolderTree:
        return Folder(p, selected);
    case 0:
        Folder(p, false);
        return Arrow(p);
    case 1:
        return Packed(p);
    case 3:
        return Folder(p, false);
    case 4:
        return Program(p);
    case 5:
        Sheet(p);
        return Lines(p);
    case 6:
        Sheet(p);
        return Note(p);
    case 7:
        Sheet(p);
        return Play(p);
    case 8:
        return Picture(p);
    case 9:
        Sheet(p);
        return Globe(p);
    case 10:
        return Help(p);
    case 11:
        return Disc(p);
    default:
        return Sheet(p);
    }
}

class OwnIconEngine : public QIconEngine {
public:
    explicit OwnIconEngine(int index) : index_(index) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled) painter->setOpacity(0.45);
        Draw(*painter, index_, mode == QIcon::Selected);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
    QIconEngine* clone() const override { return new OwnIconEngine(index_); }

private:
    int index_;
};

} // namespace

const QIcon& OwnIcon(int index) {
    static const std::array<QIcon, kOwnIconCount> icons = [] {
        std::array<QIcon, kOwnIconCount> made;
        for (int i = 0; i < kOwnIconCount; ++i)
            made[static_cast<std::size_t>(i)] = QIcon(new OwnIconEngine(i));
        return made;
    }();
    if (index < 0 || index >= kOwnIconCount) index = 2;
    return icons[static_cast<std::size_t>(index)];
}

const QIcon& FolderTreeIcon() {
    static const QIcon icon(new OwnIconEngine(kFolderTree));
    return icon;
}

const QIcon& CommandIcon(CommandPicture picture) {
    static const std::array<QIcon, kCommandPictureCount> icons = [] {
        std::array<QIcon, kCommandPictureCount> made;
        for (int i = 0; i < kCommandPictureCount; ++i)
            made[static_cast<std::size_t>(i)] = QIcon(new OwnIconEngine(kCommandBase + i));
        return made;
    }();
    return icons[static_cast<std::size_t>(picture)];
}

} // namespace orbisk
