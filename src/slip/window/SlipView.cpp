#include "slip/window/SlipView.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

namespace bm::app {

namespace {

constexpr int kBorder = 12;      // pixels around the sheet
constexpr int kNoteHeight = 22;  // pixels under it for the note

QRectF Rect(const BoxRect& b)
{
    return QRectF(QPointF(b.x1, b.y1), QPointF(b.x2, b.y2)).normalized();
}

}  // namespace

SlipView::SlipView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picSlip"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SlipView::SetDrawing(SlipDrawing drawing)
{
    drawing_ = std::move(drawing);
    updateGeometry();
    update();
}

void SlipView::SetNote(const QString& note)
{
    note_ = note;
    update();
}

void SlipView::SetScale(double pixelsPerMm)
{
    scale_ = pixelsPerMm;
    updateGeometry();
    if (scale_ > 0)
        resize(sizeHint());
    update();
}

void SlipView::ShowSlipOnly(bool only)
{
    slipOnly_ = only;
    update();
}

QRectF SlipView::Shown() const
{
    const QRectF sheet(0, 0, drawing_.sheetWidth, drawing_.sheetHeight);
    if (!slipOnly_)
        return sheet;
    // Room for the dimension lines and numbers beside the slip's edge.
    QRectF shown = Rect(drawing_.slip);
    for (const BoxRect& b : drawing_.boxes)
        shown |= Rect(b);
    return shown.adjusted(-8, -8, 8, 8) & sheet.adjusted(-10, -10, 10, 10);
}

double SlipView::RealSize() const
{
    return logicalDpiX() / 25.4;
}

double SlipView::scale() const
{
    if (scale_ > 0)
        return scale_;
    const QRectF shown = Shown();
    const double w = (width() - 2 * kBorder) / std::max(1.0, shown.width());
    const double h = (height() - 2 * kBorder - kNoteHeight) / std::max(1.0, shown.height());
    return std::max(0.1, std::min(w, h));
}

QSize SlipView::sizeHint() const
{
    const double s = scale_ > 0 ? scale_ : 3.0;
    const QRectF shown = Shown();
    return {static_cast<int>(std::ceil(shown.width() * s)) + 2 * kBorder,
            static_cast<int>(std::ceil(shown.height() * s)) + 2 * kBorder + kNoteHeight};
}

void SlipView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    // Nothing to draw yet (entries missing): the note alone, no empty sheet.
    const bool noSlip = drawing_.slip.x1 == drawing_.slip.x2 || drawing_.slip.y1 == drawing_.slip.y2;
    if (drawing_.sheetWidth <= 0 || drawing_.sheetHeight <= 0 || (noSlip && drawing_.boxes.empty())) {
        if (!note_.isEmpty())
            PaintNote(p);
        return;
    }
    const double s = scale();
    p.setRenderHint(QPainter::Antialiasing, true);
    // What is shown in the middle of what is left of the widget.
    const QRectF shown = Shown();
    const double spareX = width() - 2 * kBorder - shown.width() * s;
    const double spareY = height() - 2 * kBorder - kNoteHeight - shown.height() * s;
    // A slip alone sits at the top, under its heading.
    p.translate(kBorder + std::max(0.0, spareX / 2) - shown.left() * s,
                kBorder + (slipOnly_ ? 0.0 : std::max(0.0, spareY / 2)) - shown.top() * s);

    // Sheet and slip in millimetres; pens stay one or two pixels wide whatever the scale.
    p.save();
    p.scale(s, s);
    p.setClipRect(shown);
    const QRectF sheet(0, 0, drawing_.sheetWidth, drawing_.sheetHeight);
    p.fillRect(sheet, Qt::white);
    p.setPen(QPen(QColor(255, 200, 120), 1.5 / s));
    p.setBrush(QColor(255, 250, 235));
    p.drawRect(Rect(drawing_.slip));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(110, 150, 220), 1.0 / s));
    for (const BoxRect& b : drawing_.boxes)
        p.drawRect(Rect(b));
    PaintExtras(p, s);
    for (const BoxRect& b : drawing_.marks)
        p.fillRect(Rect(b), Qt::black);
    p.restore();
    PaintExtraNames(p, s);

    // Texts in pixels, so they stay readable at every scale.
    QFont small = font();
    small.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.7));
    p.setFont(small);
    const QFontMetrics metrics(small);
    p.setPen(QColor(40, 70, 150));
    for (const BoxLabel& label : drawing_.labels) {
        const QRectF box(Rect(label.box).topLeft() * s, Rect(label.box).bottomRight() * s);
        const QString text = QString::fromStdString(label.text);
        const int w = metrics.horizontalAdvance(text);
        // Level with its box, outside the panel.
        const double y = box.center().y() + metrics.ascent() / 2.0 - 1;
        const QPointF at = label.first ? QPointF(box.left() - w - 2, y) : QPointF(box.right() + 2, y);
        p.drawText(at, text);
    }
    if (const auto& d = drawing_.dimension) {
        const QPointF a(d->x1 * s, d->y1 * s), b(d->x2 * s, d->y2 * s);
        p.setPen(QPen(QColor(200, 0, 0), 2));
        p.drawLine(a, b);
        const bool across = d->y1 == d->y2;
        const QPointF tick = across ? QPointF(0, 5) : QPointF(5, 0);
        p.drawLine(a - tick, a + tick);
        p.drawLine(b - tick, b + tick);
        const QString text = QString::fromStdString(d->text);
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        const QFontMetrics bm(bold);
        if (!text.isEmpty()) {
            const QRectF back = LabelRect(s, bm);
            p.fillRect(back, QColor(255, 255, 255, 220));
            p.drawText(QPointF(back.left() + 2, back.top() + 1 + bm.ascent()), text);
        }
    }
    if (!note_.isEmpty())
        PaintNote(p);
}

QRectF SlipView::LabelRect(double s, const QFontMetrics& metrics) const
{
    const Dimension& d = *drawing_.dimension;
    const QRectF shown = Shown();
    const QPointF a(d.x1 * s, d.y1 * s), b(d.x2 * s, d.y2 * s);
    const bool across = d.y1 == d.y2;
    const QString text = QString::fromStdString(d.text);
    const double w = metrics.horizontalAdvance(text) + 4, h = metrics.height() + 2;
    // Beside the line, on the sheet, and over no number box where there is such a place: above
    // or below an across line, right or left of an upright one.
    QRectF boxes;
    for (const BoxRect& box : drawing_.boxes)
        boxes |= Rect(box);
    boxes = QRectF(boxes.topLeft() * s, boxes.bottomRight() * s);
    std::vector<QPointF> corners;
    if (across) {
        const double x = std::min(a.x(), b.x());
        corners = {{x, a.y() - 6 - h},
                   {x, a.y() + 6},
                   {std::max(a.x(), b.x()) + 8, a.y() - h / 2},
                   {x, boxes.top() - 4 - h},
                   {x, boxes.bottom() + 4}};
    } else {
        const double y = (a.y() + b.y()) / 2 - h / 2;
        // Beside the line, else level with it beyond the boxes on either side.
        corners = {{a.x() + 8, y},
                   {a.x() - 8 - w, y},
                   {boxes.right() + 8, y},
                   {boxes.left() - 8 - w, y},
                   {a.x() + 8, boxes.top() - 4 - h},
                   {a.x() + 8, boxes.bottom() + 4}};
    }
    const auto place = [&](QPointF at) {
        at.setX(std::clamp(at.x(), shown.left() * s, std::max(shown.left() * s, shown.right() * s - w)));
        at.setY(std::clamp(at.y(), shown.top() * s, std::max(shown.top() * s, shown.bottom() * s - h)));
        return QRectF(at, QSizeF(w, h));
    };
    for (const QPointF& corner : corners) {
        const QRectF label = place(corner);
        const bool free = std::none_of(drawing_.boxes.begin(), drawing_.boxes.end(), [&](const BoxRect& box) {
            const QRectF r = Rect(box);
            return QRectF(r.topLeft() * s, r.bottomRight() * s).intersects(label);
        });
        if (free)
            return label;
    }
    return place(corners.front());
}

QRectF SlipView::DimensionLabel() const
{
    if (!drawing_.dimension || drawing_.dimension->text.empty())
        return {};
    QFont bold = font();
    bold.setBold(true);
    const double s = scale();
    const QRectF px = LabelRect(s, QFontMetrics(bold));
    return QRectF(px.topLeft() / s, px.bottomRight() / s);
}

void SlipView::PaintNote(QPainter& p) const
{
    // Across the whole widget under the sheet, in a smaller type where it is long, never cut.
    p.resetTransform();
    QFont f = font();
    const QRectF room(kBorder / 2.0, height() - kNoteHeight - 2, width() - kBorder, kNoteHeight);
    while (QFontMetrics(f).horizontalAdvance(note_) > room.width() && f.pointSizeF() > 6)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    p.setFont(f);
    p.setPen(QColor(255, 255, 210));
    p.drawText(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, note_);
}

}  // namespace bm::app
