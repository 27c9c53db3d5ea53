// Printer Setup's list of printers: each queue by its name and description, the system's default marked, and the
// paper and trays asked for by the queue's name whatever the list shows.

#include <QComboBox>
#include <QDialog>

#include <gtest/gtest.h>

#include "app/QtPrintTarget.h"

namespace {

TEST(PrinterSetup, MarksTheDefaultPrinterAndAsksByTheQueuesName)
{
    std::vector<std::string> asked;
    auto setup = bm::app::MakePrinterSetup(
        nullptr, {"office", "upstairs"}, "office", {},
        {[&](const std::string& name) {
             asked.push_back(name);
             return std::optional<bm::PaperArea>();
         },
         [](const std::string&) { return std::vector<bm::PaperSource>{}; }, "upstairs",
         [](const std::string& name) {
             return name == "upstairs" ? std::string("Laser by the stairs") : name == "office" ? name : std::string();
         }});
    auto* list = setup.dialog->findChild<QComboBox*>(QStringLiteral("cboPrinter"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    // A description that only repeats the queue's name is not shown twice.
    EXPECT_EQ(list->itemText(0), QStringLiteral("office"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("upstairs - Laser by the stairs (default)"));
    EXPECT_EQ(list->currentData().toString(), QStringLiteral("office"));
    list->setCurrentIndex(1);
    EXPECT_EQ(list->currentData().toString(), QStringLiteral("upstairs"));
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), "upstairs");
}

}  // namespace
