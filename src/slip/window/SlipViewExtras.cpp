#include <QPainter>

#include "slip/window/SlipView.h"

#include <algorithm>

// The extra marks of a SlipDrawing: a colour of their own, so they are not taken for numbers,
// and the one being edited drawn thicker in the colour of the measurement being entered.

namespace bm::app {

namespace {

const QColor kExtra(0, 140, 90);
const QColor kMarked(200, 0, 0);

QRectF Area(const BoxRect& b)
{
    return QRectF(QPointF(b.x1, b.y1), QPointF(b.x2, b.y2)).normalized();
}

}  // namespace

void SlipView::PaintExtras(QPainter& p, double scale) const
{
    for (std::size_t i = 0; i < drawing_.extras.size(); ++i) {
        const bool marked = static_cast<int>(i) == drawing_.markedExtra;
        const QColor colour = marked ? kMarked : kExtra;
        QColor fill = colour;
        fill.setAlpha(marked ? 110 : 70);
        p.setPen(QPen(colour, (marked ? 3.0 : 1.5) / scale));
        p.setBrush(fill);
        p.drawRect(Area(drawing_.extras[i].box));
    }
    p.setBrush(Qt::NoBrush);
}

QFont SlipView::ExtraNameFont(bool marked) const
{
    QFont f = font();
    f.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.7));
    f.setBold(marked);
    return f;
}

QString SlipView::ExtraNameShown(std::size_t i, double scale) const
{
    const QFontMetrics metrics(ExtraNameFont(static_cast<int>(i) == drawing_.markedExtra));
    const QRectF box = Area(drawing_.extras[i].box);
    // Beside the mark on its right, where a slip's box has its printed caption; a name longer
    // than the room before the next extra mark on its line ends in an ellipsis rather than
    // running into that mark's name.
    const double x = box.right() * scale + 3, y = box.center().y() * scale;
    double room = 1e9;
    for (std::size_t j = 0; j < drawing_.extras.size(); ++j) {
        const QRectF other = Area(drawing_.extras[j].box);
        const bool level =
            other.top() * scale <= y + metrics.height() / 2.0 && other.bottom() * scale >= y - metrics.height() / 2.0;
        if (j != i && level && other.left() * scale >= box.right() * scale)
            room = std::min(room, other.left() * scale - x - 2);
    }
    const QString name = QString::fromStdString(drawing_.extras[i].text);
    return room < 1e9 ? metrics.elidedText(name, Qt::ElideRight, std::max(0, static_cast<int>(room))) : name;
}

QString SlipView::ExtraNameAsShown(std::size_t i) const
{
    return i < drawing_.extras.size() ? ExtraNameShown(i, scale()) : QString();
}

void SlipView::PaintExtraNames(QPainter& p, double scale) const
{
    for (std::size_t i = 0; i < drawing_.extras.size(); ++i) {
        const bool marked = static_cast<int>(i) == drawing_.markedExtra;
        const QFont f = ExtraNameFont(marked);
        p.setFont(f);
        p.setPen(marked ? kMarked : kExtra.darker(130));
        const QRectF box = Area(drawing_.extras[i].box);
        p.drawText(QPointF(box.right() * scale + 3, box.center().y() * scale + QFontMetrics(f).ascent() / 2.0 - 1),
                   ExtraNameShown(i, scale));
    }
}

}  // namespace bm::app
