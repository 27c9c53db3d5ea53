#include "paper/window/FeedView.h"

#include <algorithm>

#include <QPainter>
#include <QPainterPath>

namespace bm::app {

FeedView::FeedView(QWidget* parent) : QWidget(parent), advice_(FeedFor(false))
{
    setObjectName(QStringLiteral("picFeed"));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void FeedView::SetFeed(const Paper& paper, bool horizontal, const BoxRect& slip)
{
    paper_ = paper;
    slip_ = slip;
    advice_ = FeedFor(horizontal);
    setToolTip(QString::fromStdString(advice_.line));
    update();
}

void FeedView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm = p.fontMetrics();
    const int line = fm.height();
    const QRect all = rect().adjusted(6, 6, -6, -6);
    // Room above for the arrow and its words, below for the advice in up to three lines.
    const QRect room = all.adjusted(0, 2 * line + 10, 0, -3 * line - 8);
    if (room.width() < 20 || room.height() < 20)
        return;
    const double scale = std::min(room.width() / paper_.width, room.height() / paper_.height);
    const QRectF sheet(room.center().x() - paper_.width * scale / 2, room.top(), paper_.width * scale,
                       paper_.height * scale);
    // A point of the page as it lands on the paper: a landscape page arrives turned, its right
    // edge at the paper's top.
    const auto onPaper = [&](float x, float y) {
        const double px = advice_.landscape ? y : x, py = advice_.landscape ? paper_.height - x : y;
        return QPointF(sheet.left() + px * scale, sheet.top() + py * scale);
    };

    const QColor ink = palette().color(QPalette::WindowText);
    p.setPen(ink);
    const double mid = sheet.center().x();
    QPainterPath arrow;
    arrow.moveTo(mid, all.top() + line + 2);
    arrow.lineTo(mid - 8, all.top() + line + 12);
    arrow.lineTo(mid + 8, all.top() + line + 12);
    arrow.closeSubpath();
    p.fillPath(arrow, ink);
    p.drawLine(QPointF(mid, all.top() + line + 12), QPointF(mid, sheet.top() - 2));
    p.drawText(QRect(all.left(), all.top(), all.width(), line), Qt::AlignHCenter, QStringLiteral("Into The Printer"));

    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawRect(sheet);

    const QRectF slip = QRectF(onPaper(slip_.x1, slip_.y1), onPaper(slip_.x2, slip_.y2)).normalized();
    p.setBrush(QColor(255, 236, 170));
    p.setPen(QPen(QColor(150, 110, 0), 1));
    p.drawRect(slip);
    // The slip's top edge, thick, and its name written the way the slip reads.
    QPen edge(QColor(200, 40, 30), 3);
    p.setPen(edge);
    const QPointF a = onPaper(slip_.x1, slip_.y1), b = onPaper(slip_.x2, slip_.y1);
    p.drawLine(a, b);
    p.save();
    p.translate(slip.center());
    if (advice_.landscape)
        p.rotate(-90);
    p.setPen(QColor(90, 60, 0));
    const double w = advice_.landscape ? slip.height() : slip.width();
    p.drawText(QRectF(-w / 2, -line, w, 2 * line), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("SLIP TOP ↑\nPrinted Side Up"));
    p.restore();

    p.setPen(ink);
    p.drawText(QRect(all.left(), room.bottom() + 6, all.width(), 3 * line + 4), Qt::AlignHCenter | Qt::TextWordWrap,
               QString::fromStdString(advice_.line));
}

}  // namespace bm::app
