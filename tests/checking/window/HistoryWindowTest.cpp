#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QtCharts/QChartView>
#include <QtCharts/QScatterSeries>

#include <gtest/gtest.h>

#include "checking/CheckTestSupport.h"
#include "checking/window/CheckerWindow.h"
#include "checking/window/HistoryWindow.h"
#include "support/ScriptedDialogs.h"

namespace {

namespace fs = std::filesystem;
using bm::app::CheckerWindow;

QString Cell(QTableWidget* table, int row, int column) { return table->item(row, column)->text(); }

// Draw History from a checker: the table in file order and sorted, the total row, the chart's
// marks, a row copied and Save CSV writing the command line's bytes; a bad draws file refused.
TEST(DrawHistory, ShowsEveryDrawSortsCopiesChartsAndSaves)
{
    bmtest::TempDir dir;
    dir.makeProgramFolder();
    bmtest::ScriptedDialogs dialogs;
    bmtest::WriteBytes(dir / "wheel/w.txt", bmtest::kLottoWheel);
    bmtest::WriteBytes(dir / "wheel/d.csv", "Date;Numbers\r\n1982-06-12;1 2 3 4 5 6;7\r\n1982-06-16;1 2 3 10 11 13;44\r\n");
    bmtest::WriteBytes(dir / "wheel/bad.csv", "1982-06-12;1 2 3 4 5 6;6\r\n");
    const bm::app::CheckerGame game{"LO649", 49, true};
    CheckerWindow checker(bm::CheckerByName("frmChkwhl"), bm::ProgramFolder(dir.path()), [&] { return game; },
                          CheckerWindow::Options{0, 0, 1});
    const auto click = [&](const char* name) {
        QTest::mouseClick(checker.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    };
    dialogs.QueueFile(QString::fromStdString((dir / "wheel/w.txt").string()));
    click("cmdGo");

    dialogs.QueueFile(QString::fromStdString((dir / "wheel/bad.csv").string()));
    click("cmdHistory");
    EXPECT_EQ(dialogs.Said(), "Go Back: " + (dir / "wheel/bad.csv").string() +
                                  ": line 1: The bonus number (box 7) is 6, the same as drawn number 6; the bonus is drawn from the numbers left.");
    EXPECT_EQ(checker.findChild<QWidget*>(QStringLiteral("frmHistory")), nullptr);
    dialogs.Clear();

    dialogs.QueueFile(QString::fromStdString((dir / "wheel/d.csv").string()));
    click("cmdHistory");
    EXPECT_EQ(dialogs.Said(), "");
    EXPECT_EQ(dialogs.shown().back().folder, QString::fromStdString((dir / "wheel").string()));
    auto* window = dynamic_cast<bm::app::HistoryWindow*>(checker.findChild<QWidget*>(QStringLiteral("frmHistory")));
    ASSERT_NE(window, nullptr);
    auto* table = window->findChild<QTableWidget*>(QStringLiteral("tblHistory"));
    auto* total = window->findChild<QTableWidget*>(QStringLiteral("tblTotal"));
    ASSERT_EQ(table->rowCount(), 2);
    ASSERT_EQ(table->columnCount(), 11);
    EXPECT_EQ(Cell(table, 0, 1), QStringLiteral("1 2 3 4 5 6 +7"));
    EXPECT_EQ(Cell(total, 0, 0) + "," + Cell(total, 0, 10), QStringLiteral("Total,6"));

    table->sortByColumn(7, Qt::DescendingOrder);  // Match 5
    EXPECT_EQ(Cell(table, 0, 0), QStringLiteral("1982-06-16"));
    table->selectRow(0);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1982-06-16,1 2 3 10 11 13 +44,1,0,0,2,0,1,0,0,3\n"));

    // Match 6 and Match 5+ pay most: only the first draw hit one.
    EXPECT_EQ(window->topDraws(), std::vector<std::size_t>{0});
    auto* chart = window->findChild<QChartView*>(QStringLiteral("chtHistory"));
    ASSERT_NE(chart, nullptr);
    const auto series = chart->chart()->series();
    ASSERT_EQ(series.size(), 2);
    EXPECT_EQ(static_cast<QScatterSeries*>(series[1])->count(), 1);

    const fs::path saved = dir / "Summary/h";
    dialogs.QueueFile(QString::fromStdString(saved.string()));
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdSaveCsv")), Qt::LeftButton);
    EXPECT_EQ(bmtest::ReadBytes(dir / "Summary/h.csv"),
              "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins\n"
              "1982-06-12,1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3\n"
              "1982-06-16,1 2 3 10 11 13 +44,1,0,0,2,0,1,0,0,3\n"
              "Total,,2,0,0,3,0,1,1,1,6\n");
    EXPECT_EQ(dialogs.unanswered(), 0);
}

}  // namespace
