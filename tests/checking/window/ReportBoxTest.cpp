#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include "checking/window/ReportBox.h"

namespace {

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
