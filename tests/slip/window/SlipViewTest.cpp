// The slip drawing as painted: the measurement's label beside its line over no number box, and
// an empty drawing that paints no sheet.

#include <QImage>

#include <gtest/gtest.h>

#include "definitions/DefinitionFile.h"
#include "slip/window/SlipView.h"

namespace {

QRectF Box(const bm::BoxRect& b)
{
    return QRectF(QPointF(b.x1, b.y1), QPointF(b.x2, b.y2)).normalized();
}

// Every measurement of the sample definitions: its label lies on the sheet and covers no box.
TEST(SlipView, TheMeasurementsLabelCoversNoNumberBox)
{
    for (const char* name : {"LO649", "PB569", "VT645", "TK539"}) {
        const auto def =
            bm::ReadDefinitionFile(std::filesystem::path(SAMPLE_DIR) / "Defs" / (std::string(name) + ".def"));
        ASSERT_TRUE(def) << name;
        for (int f = 0; f < bm::kFieldCount; ++f) {
            bm::SlipDrawing drawing = bm::DrawingOf(*def);
            drawing.dimension = bm::DimensionOf(bm::Field(f), *def);
            if (!drawing.dimension)
                continue;
            bm::app::SlipView view;
            view.resize(700, 500);
            view.SetDrawing(drawing);
            const QRectF label = view.DimensionLabel();
            ASSERT_FALSE(label.isEmpty()) << name << " field " << f;
            for (const bm::BoxRect& box : drawing.boxes)
                EXPECT_FALSE(Box(box).intersects(label))
                    << name << " field " << f << " (" << drawing.dimension->text << ") covers a box";
        }
    }
}

// Nothing to draw: the note on grey, no sheet and no white square of no size.
TEST(SlipView, AnEmptyDrawingPaintsNoSheet)
{
    bm::app::SlipView view;
    view.resize(300, 200);
    bm::SlipDrawing drawing;
    drawing.dimension = bm::Dimension{0, 0, 0, 0, "12.5 mm"};
    view.SetDrawing(drawing);
    view.SetNote(QStringLiteral("No Entry For 1 or More Measurements."));
    const QImage image = view.grab().toImage();
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            white += image.pixelColor(x, y).lightness() >= 250 ? 1 : 0;
    EXPECT_EQ(white, 0);
}

}  // namespace

namespace {

// Two extra marks side by side: the first one's name ends before the second mark, which keeps its
// own whole; a name with room is shown whole.
TEST(SlipView, AnExtraMarksNameStopsBeforeTheNextMark)
{
    const auto def = bm::ReadDefinitionFile(std::filesystem::path(SAMPLE_DIR) / "Defs" / "LO649.def");
    ASSERT_TRUE(def);
    bm::SlipDrawing drawing = bm::DrawingOf(*def);
    drawing.extras = {{bm::BoxRect{20, 5, 24, 8}, "Draw Wednesday", true},
                      {bm::BoxRect{30, 5, 34, 8}, "Sat", true},
                      {bm::BoxRect{20, 12, 24, 15}, "Draws 2", true}};
    bm::app::SlipView view;
    view.resize(700, 500);
    view.SetDrawing(drawing);
    const QString first = view.ExtraNameAsShown(0);
    EXPECT_NE(first, QStringLiteral("Draw Wednesday"));
    EXPECT_TRUE(first.endsWith(QChar(0x2026)) || first.isEmpty()) << first.toStdString();
    EXPECT_EQ(view.ExtraNameAsShown(1), QStringLiteral("Sat"));
    EXPECT_EQ(view.ExtraNameAsShown(2), QStringLiteral("Draws 2"));
}

}  // namespace
