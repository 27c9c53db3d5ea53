#include "definitions/editor/frmGendef.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QCheckBox>
#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include "slip/window/ExtraMarksPanel.h"
#include "slip/window/SecondPoolPanel.h"
#include "slip/window/SlipView.h"
#include "windowing/window/EntryHelpers.h"

// The editor's controls with their names, captions, tool-tips, places and focus order.

namespace bm::app {

namespace {

// The tool-tips of the fields that have one, by txtM index.
const char* FieldTip(Field f)
{
    switch (f) {
    case Field::Pool: return "Enter total numbers in game such as 49,51,53 etc.";
    case Field::Pick: return "Enter how many numbers you select from 5 to 7.";
    case Field::TotalPanels: return "Enter Total Number Of Selection Panels On Slip.";
    case Field::MainPanels: return "Enter Number Of Main Panels (usually 1 or 2).";
    case Field::RowsInPanel: return "Enter Number Of Rows Of Number Boxes In A Panel.";
    case Field::PanelsAcross: return "Enter Number Of Panels Across The Slip.";
    case Field::ColumnsInPanel: return "Enter Number Of Columns Of Number Boxes In A Panel.";
    default: return nullptr;
    }
}

QString FieldCaption(Field f)
{
    QString caption = QString::fromLatin1(FieldLabel(f));
    // The editor's label of this field has always ended with a blank.
    if (f == Field::VerticalPanelGap)
        caption += QLatin1Char(' ');
    return caption;
}

// The ten measurements in the order of the file, shown in one column.
constexpr Field kMeasurements[] = {Field::SlipWidth,          Field::SlipHeight,     Field::TopToFirstRow,
                                   Field::LeftIndent,         Field::BoxWidth,       Field::BoxHeight,
                                   Field::HorizontalPanelGap, Field::VerticalRowGap, Field::VerticalPanelGap,
                                   Field::HorizontalBoxShift};

// Caption and entry pairs side by side in one line.
QHBoxLayout* Line(std::initializer_list<std::pair<QLabel*, QWidget*>> pairs)
{
    auto* line = new QHBoxLayout;
    for (const auto& [label, entry] : pairs) {
        line->addWidget(label);
        line->addWidget(entry);
        line->addSpacing(12);
    }
    line->addStretch(1);
    return line;
}

// Asks for room for all the entries; it gets less only when the window is made smaller.
class EntriesArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override
    {
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        return widget() ? widget()->sizeHint() + QSize(bar, bar) : QScrollArea::sizeHint();
    }
};

}  // namespace

void frmGendef::BuildUi()
{
    constexpr int kNumberWidth = 70;
    for (int i = 0; i < kFieldCount; ++i)
        txtM[i] =
            NamedEntry(this, QStringLiteral("txtM%1").arg(i), QString::fromLatin1(FieldTip(Field(i))), kNumberWidth);
    for (int r = 0; r < kMaxRowFields; ++r)
        txtR[r] = NamedEntry(this, QStringLiteral("txtR%1").arg(r), {}, kNumberWidth);
    txtFn =
        NamedEntry(this, QStringLiteral("txtFn"), QStringLiteral("Enter 2 letters. Lowercase is OK."), kNumberWidth);

    chkBon[0] = Named(new QCheckBox(QStringLiteral("Draws Bonus Number"), this), QStringLiteral("chkBon0"),
                      "Check If A Bonus Number Is Drawn.");
    chkBon[1] = Named(new QCheckBox(QStringLiteral("Powerball"), this), QStringLiteral("chkBon1"),
                      "Check If This is A Powerball Game.");
    const char* layoutTip = "Choose Whether Slip Layout Is Horizontal Or Vertical.";
    optLay[0] = Named(new QRadioButton(QStringLiteral("Horizontal"), this), QStringLiteral("optLay0"), layoutTip);
    optLay[1] = Named(new QRadioButton(QStringLiteral("Vertical"), this), QStringLiteral("optLay1"), layoutTip);
    cmdreset = Named(new QPushButton(this), QStringLiteral("cmdreset"));
    cmdxit = Named(new QPushButton(QStringLiteral("Close"), this), QStringLiteral("cmdxit"), "Close This Window");
    for (QPushButton* b : {cmdreset, cmdxit})
        b->setAutoDefault(false);
    // Hiding the save button must not move the close button.
    QSizePolicy keep = cmdreset->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    cmdreset->setSizePolicy(keep);

    const auto field = [this](Field f) -> std::pair<QLabel*, QWidget*> {
        const int i = static_cast<int>(f);
        return {Caption(this, FieldCaption(f), txtM[i], QStringLiteral("lblM%1").arg(i)), txtM[i]};
    };

    auto* root = new QVBoxLayout;
    root->addLayout(Line({{Caption(this, QStringLiteral("Name Of File"), txtFn, QStringLiteral("lblFn")), txtFn},
                          field(Field::Pick),
                          field(Field::Pool)}));
    auto* flags = new QHBoxLayout;
    flags->addWidget(chkBon[0]);
    flags->addSpacing(12);
    flags->addWidget(chkBon[1]);
    flags->addStretch(1);
    root->addLayout(flags);
    root->addLayout(Line({field(Field::TotalPanels), field(Field::MainPanels), field(Field::PanelsAcross)}));
    root->addLayout(Line({field(Field::RowsInPanel), field(Field::ColumnsInPanel)}));
    auto* layoutLine = new QHBoxLayout;
    layoutLine->addWidget(Named(new QLabel(QStringLiteral("Layout Is"), this), QStringLiteral("lblLayout"), layoutTip));
    layoutLine->addWidget(optLay[0]);
    layoutLine->addWidget(optLay[1]);
    layoutLine->addStretch(1);
    root->addLayout(layoutLine);

    auto* measurements = new QFormLayout;
    for (Field f : kMeasurements) {
        const auto [label, entry] = field(f);
        measurements->addRow(label, entry);
    }
    auto* rows = new QFormLayout;
    for (int r = 0; r < kMaxRowFields; ++r)
        rows->addRow(Caption(this, QStringLiteral("R%1").arg(r + 1), txtR[r], QStringLiteral("lblR%1").arg(r)),
                     txtR[r]);
    auto* left = new QVBoxLayout;
    left->addWidget(Heading(this, QStringLiteral("lblMeasurements"),
                            QStringLiteral("Enter All Measurements In Millimeters (mm)"), true));
    left->addLayout(measurements);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(Heading(this, QStringLiteral("lblRows"),
                             QStringLiteral("Enter 1st Number In Each Row Where Applicable"), true));
    right->addLayout(rows);
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addSpacing(24);
    columns->addLayout(right, 2);
    root->addSpacing(8);
    root->addLayout(columns);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdreset);
    buttons->addWidget(cmdxit);
    buttons->addStretch(1);

    // The drawing to the right of everything the editor always had. The entries scroll, so the
    // window can be as small as a small screen needs; it opens as large as the screen allows.
    auto* entries = new QWidget;
    entries->setObjectName(QStringLiteral("pnlEntries"));
    entries->setLayout(root);
    auto* scroll = Named(new EntriesArea(this), QStringLiteral("scrEntries"));
    scroll->setWidget(entries);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Tab goes from the last button back to the first entry, not to the area around the entries.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    picSlip = new SlipView(this);
    picSlip->setMinimumWidth(200);
    // The drawing takes what the entries leave.
    picSlip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    picSlip->ShowSlipOnly(true);
    picSlip->setToolTip(
        QStringLiteral("The Slip As These Entries Describe It; The Measurement Being Entered Is Marked In Red"));
    auto* drawing = new QVBoxLayout;
    drawing->addWidget(
        Heading(this, QStringLiteral("lblDrawing"), QStringLiteral("The Slip As These Entries Describe It"), true));
    drawing->addWidget(picSlip, 1);
    fraExtra = new ExtraMarksPanel(this);
    fraSecond = new SecondPoolPanel(this);
    fraExtra->SetSecondPanel(fraSecond);
    // The second pool beside the extra marks: both are marks of every slip, kept in NAME.marks.
    auto* marksRow = new QHBoxLayout;
    marksRow->addWidget(fraExtra, 1);
    marksRow->addWidget(fraSecond);
    drawing->addLayout(marksRow);
    // The buttons stay in sight however far the entries are scrolled.
    auto* entriesAndButtons = new QVBoxLayout;
    entriesAndButtons->addWidget(scroll, 1);
    entriesAndButtons->addSpacing(8);
    entriesAndButtons->addLayout(buttons);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(entriesAndButtons);
    outer->addSpacing(12);
    outer->addLayout(drawing, 1);
    ensurePolished();
    const QSize full = entries->sizeHint();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    scroll->setMinimumWidth(std::min(full.width() + bar, 320));
    // The drawing at least as wide as the marks panels under it need, so that the entries beside
    // it open whole where the screen has the room.
    const int drawingWidth = std::max(520, drawing->minimumSize().width());
    resize(full.width() + bar + 12 + drawingWidth + 2 * outer->contentsMargins().left(),
           full.height() + 8 + cmdxit->sizeHint().height() + 2 * outer->contentsMargins().top());
}

void frmGendef::SetFocusOrder()
{
    std::vector<QWidget*> order{txtFn};
    for (Field f : {Field::Pick, Field::Pool, Field::TotalPanels, Field::MainPanels, Field::PanelsAcross,
                    Field::RowsInPanel, Field::ColumnsInPanel})
        order.push_back(txtM[static_cast<int>(f)]);
    for (Field f : kMeasurements)
        order.push_back(txtM[static_cast<int>(f)]);
    order.insert(order.end(), txtR.begin(), txtR.end());
    order.insert(order.end(), {chkBon[0], chkBon[1], optLay[0], optLay[1]});
    for (QWidget* w : fraExtra->FocusChain())
        order.push_back(w);
    for (QWidget* w : fraSecond->FocusChain())
        order.push_back(w);
    order.insert(order.end(), {cmdreset, cmdxit});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

}  // namespace bm::app
