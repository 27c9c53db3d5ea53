#include "checking/window/CheckerParts.h"

#include <iterator>

#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include <QFileInfo>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QValueAxis>

#include "checking/NumberPatterns.h"
#include "checking/SummaryFile.h"
#include "checking/window/ReportBox.h"
#include "common/AtomicFile.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/EntryHelpers.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WidgetBuilders.h"

namespace bm::app {

namespace {

struct ButtonText {
    const char* name;
    const char* caption;
    const char* tip;
};

// In the order of the row.
constexpr ButtonText kButtons[] = {
    {"cmdGo", "Load File", "Click To Load A Ticket File To Check"},
    {"cmdreset", "Run", "Click To Start Processing The Selected Ticket File"},
    {"cmdsave", "Save Summary",
     "Click to save the summary displayed below to a text file. This is disabled until a check has been completed."},
    {"cmdHistory", "Draw History", "Click To Check The Loaded Ticket File Against Every Draw Of A File Of Past Draws"},
    {"cmdxit", "Close", "Close This Window"},
};

}  // namespace

void AddCheckerButtons(QWidget* window, QBoxLayout* outer, const CheckerButtons& buttons)
{
    QPushButton** const into[] = {buttons.load, buttons.run, buttons.save, buttons.history, buttons.close};
    static_assert(std::size(into) == std::size(kButtons));
    auto* row = new QHBoxLayout;
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        *into[i] = NamedButton(window, kButtons[i].name, kButtons[i].caption, kButtons[i].tip);
        row->addWidget(*into[i]);
    }
    outer->addLayout(row);
}

QLineEdit* NewDrawBox(QWidget* parent, int number, bool extra)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("txtN%1").arg(number));
    box->setMaximumWidth(48);
    UseEntryHelpers(box);
    if (extra)
        box->setStyleSheet(QStringLiteral("QLineEdit { background-color: #ffffc0; }"));
    return box;
}

TierRow AddTierRow(QGridLayout* grid, QWidget* parent, int row, int column, const QString& captionName,
                   const QString& caption, const QString& countName)
{
    TierRow made{NamedLabel(parent, captionName, caption), NamedLabel(parent, countName, QStringLiteral("0"))};
    grid->addWidget(made.caption, row, column);
    grid->addWidget(made.count, row, column + 1);
    return made;
}

TierRow AddLinesCheckedRow(QGridLayout* grid, QWidget* parent, int row)
{
    const TierRow lines = AddTierRow(grid, parent, row, 0, QStringLiteral("Label12"), QStringLiteral("Lines Checked"),
                                     QStringLiteral("lbldraw"));
    // "Lines Checked" is the widest caption: its count must not touch it.
    grid->setHorizontalSpacing(2 * parent->fontMetrics().averageCharWidth() + 6);
    return lines;
}

CheckerFooter NewCheckerFooter(QWidget* window)
{
    CheckerFooter made{NamedLabel(window, QStringLiteral("lblstatus"), QStringLiteral("Status")),
                       new ReportBox(window)};
    made.report->setObjectName(QStringLiteral("rtbreport"));
    return made;
}

QString Grouped(std::int64_t value)
{
    return QString::fromStdString(FormatWhole(value, Pattern::Grouped, UiSeparators()));
}

QAbstractAxis* NewDrawAxis(bool dated)
{
    if (dated) {
        auto* time = new QDateTimeAxis;
        time->setFormat(QStringLiteral("yyyy-MM-dd"));
        time->setTickCount(6);
        return time;
    }
    auto* place = new QValueAxis;
    place->setLabelFormat(QStringLiteral("%d"));
    place->setTitleText(QStringLiteral("Draw"));
    return place;
}

void FollowTableColumns(QTableWidget* table, QTableWidget* totals)
{
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionResized, totals,
                     [totals](int c, int, int width) { totals->setColumnWidth(c, width); });
    QObject::connect(table->horizontalScrollBar(), &QScrollBar::valueChanged, totals->horizontalScrollBar(),
                     &QScrollBar::setValue);
}

void AddHistoryButtons(QWidget* window, QBoxLayout* outer, QPushButton** saveCsv, QPushButton** close)
{
    auto* row = new QHBoxLayout;
    *saveCsv = NamedButton(window, "cmdSaveCsv", QStringLiteral("Save CSV"),
                           QStringLiteral("Save the table as a CSV file, one line per draw"));
    *close = NamedButton(window, "cmdClose", QStringLiteral("Close"));
    row->addStretch();
    row->addWidget(*saveCsv);
    row->addWidget(*close);
    outer->addLayout(row);
}

void SaveHistoryCsv(QWidget* window, const ProgramFolder& folder, const std::vector<std::filesystem::path>& inputs,
                    const std::function<std::string()>& csv)
{
    if (const Status made = EnsureSummaryFolder(folder); !made)
        dialogs().Message(window, QStringLiteral("Brindlemark"), QString::fromStdString(made.error().message),
                          Icon::Error, Buttons::Ok);
    QString file = SaveFileRemembered(window, folder, "History", QStringLiteral("Save Draw History"),
                                      QStringLiteral("CSV Files (*.csv)"),
                                      QString::fromStdString(folder.summary().string()), QStringLiteral("csv"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".csv");
    Status saved = CheckOutputTarget(file.toStdString(), inputs, &folder);
    if (saved)
        saved = WriteFileAtomically(file.toStdString(), csv());
    if (!saved)
        dialogs().Message(window, QStringLiteral("Brindlemark"),
                          QString::fromStdString(saved.error().message) + QStringLiteral("\nThe table was not saved."),
                          Icon::Error, Buttons::Ok);
}

}  // namespace bm::app
