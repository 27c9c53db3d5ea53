#include <cups/cups.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/QtPrintTarget.h"
#include "printing/qt/PrintTestTools.h"
#include "support/ScriptedDialogs.h"

namespace {

using bmtest::Quoted;
using bmtest::RunShell;

// Printer Setup offers the paper sizes and the sources the printer has (a private cupsd whose
// queue "bm-letter" holds Letter and offers a tray and manual feed); what is chosen there reaches
// the printer with the job, as the spooler's own record of the job shows, and the sheets are laid
// out on that paper. A custom size that is no size keeps the dialog open, saying why.
TEST(PaperSetup, TheChosenPaperSizeAndSourceReachTheJob)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a private cupsd needs root";
    const bmtest::PrivateCups cupsd;
    if (!cupsd.started)
        GTEST_SKIP() << "no private cupsd could be started here: " << cupsd.why;
    ASSERT_EQ(cupsd.Script("queue bm-letter Letter").status, 0);
    const std::string& server = cupsd.server;
    const std::string env = "CUPS_SERVER=" + Quoted(server);
    // libcups keeps the server it first used in this process: this test's daemon is named outright.
    setenv("CUPS_SERVER", server.c_str(), 1);
    cupsSetServer(server.c_str());
    const std::shared_ptr<void> unset(nullptr, [](void*) {
        unsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    });

    bmtest::ScriptedDialogs dialogs;
    bm::app::QtPrintTarget target;
    target.UsePrinter("bm-letter");
    EXPECT_EQ(target.PrinterPaper(), bm::LetterPaper());
    QStringList sizes, sources;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* size = dialog->findChild<QComboBox*>(QStringLiteral("cboPaperSize"));
        auto* source = dialog->findChild<QComboBox*>(QStringLiteral("cboPaperSource"));
        ASSERT_TRUE(size && source);
        for (int i = 0; i < size->count(); ++i)
            sizes << size->itemText(i);
        for (int i = 0; i < source->count(); ++i)
            sources << source->itemText(i);
        size->setCurrentIndex(size->count() - 1);  // Custom
        dialog->findChild<QLineEdit*>(QStringLiteral("txtPaperWidth"))->setText(QStringLiteral("82"));
        dialog->findChild<QLineEdit*>(QStringLiteral("txtPaperHeight"))->setText(QStringLiteral("1,90"));
        source->setCurrentIndex(source->findText(QStringLiteral("Manual Feed")));
        auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        ok->click();
        EXPECT_TRUE(dialog->isVisible());
        dialog->findChild<QLineEdit*>(QStringLiteral("txtPaperHeight"))->setText(QStringLiteral("190"));
        ok->click();
    });
    target.SetupPrinter(nullptr);
    EXPECT_EQ(sizes, (QStringList{"As The Printer Is Set Up", "A4 (210 x 297 mm)", "Letter (215.9 x 279.4 mm)",
                                  "Legal (215.9 x 355.6 mm)", "Custom"}));
    EXPECT_EQ(sources, (QStringList{"As The Printer Is Set Up", "Tray 1", "Manual Feed"}));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_NE(dialogs.shown()[0].text.toStdString().find("The custom paper size \"82x1,90\""), std::string::npos);
    EXPECT_EQ(target.ChosenPaper(), (bm::PaperChoice{bm::Paper{"", 82, 190}, "manual"}));
    EXPECT_EQ(target.PrinterPaper(), (bm::Paper{"", 82, 190}));

    auto surface = target.PrinterSurface();
    ASSERT_TRUE(surface) << surface.error().message;
    (*surface)->UseMillimetres();
    (*surface)->FillBox(10, 10, 15, 15);
    ASSERT_TRUE((*surface)->EndDocument());
    const bmtest::Ran job = RunShell("ipptool -tv ipp://" + server + "/jobs/1 -d job-id=1 "
                                     "/usr/share/cups/ipptool/get-job-attributes.test | grep -E ' media(-source)? '",
                                     env);
    EXPECT_NE(job.out.find("media (keyword) = custom_82x190mm_82x190mm"), std::string::npos) << job.out;
    EXPECT_NE(job.out.find("media-source (keyword) = manual"), std::string::npos) << job.out;
}

}  // namespace
