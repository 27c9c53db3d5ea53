#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include "checking/window/ReportBox.h"

namespace {

QStringList Rows(const bm::app::ReportBox& box)
{
    QStringList rows;
    for (int r = 0; r < box.model()->rowCount(); ++r)
        rows << box.model()->index(r, 0).data().toString();
    return rows;
}

TEST(ReportBox, ShowsTheAppendedTextLineByLineAndKeepsItExactly)
{
    bm::app::ReportBox box;
    box.Append("Lottery: LO649\nTicket File: w.txt\n\n");
    box.Append("Match-3 For This");
    box.Append(" Draw At Line 7\n");
    EXPECT_EQ(Rows(box), (QStringList{"Lottery: LO649", "Ticket File: w.txt", "", "Match-3 For This Draw At Line 7"}));
    EXPECT_EQ(box.Text(), "Lottery: LO649\nTicket File: w.txt\n\nMatch-3 For This Draw At Line 7\n");
    box.Append("\nMatch 0 - 1\n\n");
    EXPECT_EQ(Rows(box).mid(4), (QStringList{"", "Match 0 - 1", ""}));
    box.Clear();
    EXPECT_EQ(box.Text(), "");
    EXPECT_EQ(box.model()->rowCount(), 0);
}

TEST(ReportBox, CopiesTheChosenLines)
{
    bm::app::ReportBox box;
    box.Append("one\ntwo\nthree\n");
    box.show();
    box.selectionModel()->select(box.model()->index(2, 0), QItemSelectionModel::Select);
    box.selectionModel()->select(box.model()->index(0, 0), QItemSelectionModel::Select);
    QTest::keySequence(&box, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("one\nthree\n"));
}

}  // namespace
