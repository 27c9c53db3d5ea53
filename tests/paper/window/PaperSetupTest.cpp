#include <cstdlib>
#include <cups/cups.h>
#include <memory>
#include <sstream>
#include <unistd.h>

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
    bmtest::PrivateCups cupsd;
    if (!cupsd.started)
        GTEST_SKIP() << cupsd.why;
    ASSERT_EQ(cupsd.Script("queue bm-letter Letter").status, 0);
    const std::string& server = cupsd.server;
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
    const std::string media = cupsd.JobMedia(1);
    EXPECT_TRUE(bmtest::HasText(media, "media=custom_82x190mm_82x190mm;"));
    EXPECT_TRUE(bmtest::HasText(media, "media-source=manual;"));
}

// Printer Setup is a dialog of its own that offers the printers and nothing a job would ignore;
// the printer chosen there takes the next job (a private cupsd with two queues, started for the
// test and stopped by its process id).
TEST(PrinterSetup, TheChosenPrinterTakesTheJob)
{
    bmtest::PrivateCups cupsd;
    if (!cupsd.started)
        GTEST_SKIP() << cupsd.why;
    const std::string& server = cupsd.server;
    const std::string env = "CUPS_SERVER=" + Quoted(server);
    // A second queue on the same virtual printer; the first stays the default.
    const bmtest::Ran device = RunShell("lpstat -v brindlemark-pdf", env);
    const std::string uri = device.out.substr(device.out.find(": ") + 2, device.out.find('\n') - device.out.find(": ") - 2);
    ASSERT_EQ(RunShell("lpadmin -p brindlemark-two -E -v " + Quoted(uri) + " -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd", env)
                  .status,
              0);
    setenv("CUPS_SERVER", server.c_str(), 1);

    bm::app::QtPrintTarget target;
    QString title;
    QStringList offered, buttons;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto* printer = dialog->findChild<QComboBox*>(QStringLiteral("cboPrinter"));
        for (int i = 0; printer && i < printer->count(); ++i)
            offered << printer->itemText(i);
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            buttons << b->text().remove(QLatin1Char('&'));
        if (printer)
            printer->setCurrentText(QStringLiteral("brindlemark-two"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    target.SetupPrinter(nullptr);
    EXPECT_EQ(title, QStringLiteral("Printer Setup"));
    EXPECT_EQ(offered, (QStringList{QStringLiteral("brindlemark-pdf"), QStringLiteral("brindlemark-two")}));
    EXPECT_FALSE(buttons.contains(QStringLiteral("Print"))) << buttons.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(target.ChosenPrinter(), "brindlemark-two");

    auto surface = target.PrinterSurface();
    ASSERT_TRUE(surface) << surface.error().message;
    (*surface)->UseMillimetres();
    (*surface)->FillBox(10, 10, 15, 15);
    (*surface)->NextPage();
    const bm::Status ended = (*surface)->EndDocument();
    ASSERT_TRUE(ended) << ended.error().message;
    EXPECT_NE(RunShell("lpstat -W all -o brindlemark-two", env).out, "");
    EXPECT_EQ(RunShell("lpstat -W all -o brindlemark-pdf", env).out, "");
    unsetenv("CUPS_SERVER");
}

}  // namespace
