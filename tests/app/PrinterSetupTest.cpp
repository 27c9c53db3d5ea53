#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/QtPrintTarget.h"
#include "printing/qt/PrintTestTools.h"

namespace {

using bmtest::Quoted;
using bmtest::RunShell;

// Printer Setup is a dialog of its own that offers the printers and nothing a job would ignore;
// the printer chosen there takes the next job (a private cupsd with two queues, started for the
// test and stopped by its process id).
TEST(PrinterSetup, TheChosenPrinterTakesTheJob)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a private cupsd needs root";
    const bmtest::PrivateCups cupsd;
    if (!cupsd.started)
        GTEST_SKIP() << "no private cupsd could be started here: " << cupsd.why;
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
