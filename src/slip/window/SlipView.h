#pragma once

#include <QRectF>
#include <QString>
#include <QWidget>

#include "slip/SlipDrawing.h"

class QFont;
class QFontMetrics;
class QPainter;

namespace bm::app {

// Paints a SlipDrawing to scale: the sheet, the slip's edge, every box outlined in a light
// colour, the marks filled black, panel numbers and the measurement asked for. At scale 0 the
// sheet fits the widget; otherwise it is drawn at that many pixels per millimetre.
class SlipView : public QWidget {
public:
    explicit SlipView(QWidget* parent = nullptr);

    void SetDrawing(SlipDrawing drawing);
    const SlipDrawing& drawing() const { return drawing_; }
    // A short line under the sheet, for example why the entries cannot be drawn yet.
    void SetNote(const QString& note);
    const QString& note() const { return note_; }
    void SetScale(double pixelsPerMm);
    // Shows the slip alone, not the whole sheet around it.
    void ShowSlipOnly(bool only);
    // Pixels per millimetre as painted now.
    double scale() const;
    // Pixels per millimetre at the sheet's real size on this screen.
    double RealSize() const;

    // Where the measurement's label is painted, in millimetres of the sheet; empty without one.
    QRectF DimensionLabel() const;
    // An extra mark's name as painted beside it: cut short with an ellipsis where the next mark
    // on its line leaves less room.
    QString ExtraNameAsShown(std::size_t extra) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {160, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What is shown, in millimetres of the sheet.
    QRectF Shown() const;
    // SlipViewExtras.cpp: the extra marks in their colour, under the black marks; names over all.
    void PaintExtras(QPainter& p, double scale) const;
    void PaintExtraNames(QPainter& p, double scale) const;
    QFont ExtraNameFont(bool marked) const;
    QString ExtraNameShown(std::size_t extra, double scale) const;
    // The measurement's label with its background, in pixels of the painted sheet.
    QRectF LabelRect(double scale, const QFontMetrics& metrics) const;
    void PaintNote(QPainter& p) const;

    SlipDrawing drawing_;
    bool slipOnly_ = false;
    QString note_;
    double scale_ = 0;
};

}  // namespace bm::app
