#include <cstdlib>
#include <cups/cups.h>
#include <memory>
#include <sstream>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/QtPrintTarget.h"
#include "app/frmHelp.h"
#include "paper/window/FeedView.h"
#include "paper/window/frmCalibrate.h"
#include "slip/window/SlipView.h"
#include "support/PrintTestTools.h"
#include "support/ScriptedDialogs.h"
#include "windowing/window/Module1.h"

using namespace bm;
using namespace bmtest;

namespace {

template <typename T>
T* In(QWidget& w, const char* name)
{
    return w.findChild<T*>(QString::fromLatin1(name));
}

void Type(QWidget& w, const char* box, const QString& text)
{
    auto* edit = In<QLineEdit>(w, box);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// The window works the factors out as the distances are typed (intended / measured), refuses a
// measurement that is no distance or far off, keeps the factors for its printer on Save and
// forgets them on Reset; the page goes to the printer uncalibrated, with the distances shown.
TEST(CalibrateWindow, WorksOutTheFactorsKeepsThemForThePrinterAndResets)
{
    TempDir dir;
    const auto ini = dir / "Brindlemark.ini";
    WriteBytes(ini, "Printer=office\r\n");
    ScriptedDialogs dialogs;
    std::vector<CalibrationPage> printed;
    app::frmCalibrate window({"office", LetterPaper(), ini, [&](const CalibrationPage& page) -> Status {
                                  printed.push_back(page);
                                  return Ok{};
                              }});
    window.show();
    auto* worked = In<QLabel>(window, "lblWorked");
    auto* save = In<QPushButton>(window, "cmdSave");
    EXPECT_EQ(In<QLabel>(window, "lblStored")->text(), "Now: not calibrated");
    EXPECT_FALSE(In<QPushButton>(window, "cmdReset")->isEnabled());
    QTest::mouseClick(In<QPushButton>(window, "cmdPrintPage"), Qt::LeftButton);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].across, 185);  // Letter: 215.9 mm less two 15 mm margins
    EXPECT_EQ(printed[0].down, 249);
    // The page names what it was printed on, and the window says it went.
    EXPECT_EQ(printed[0].caption, "Printer office, paper Letter");
    EXPECT_EQ(In<QLabel>(window, "lblPrinted")->text(), "The calibration page was sent to office.");

    const struct {
        const char *across, *down, *shown;
        bool saves;
    } cases[] = {
        {"", "", "Type both distances to work out the factors.", false},
        {"185", "", "Type both distances to work out the factors.", false},
        {"188.7", "246.5", "Factors: X 0.9804  Y 1.0101", true},
        {"185", "249", "Factors: X 1.0000  Y 1.0000", true},
        {"18.5", "249",
         "The distance across (crosshair 1 to 2) \"18.5\" is more than a tenth off the 185 mm printed; "
         "measure again between the centres of the crosshairs",
         false},
        {"185", "0", "The distance down (crosshair 1 to 3) \"0\" must be more than 0 mm", false},
        {"185", "abc",
         "The distance down (crosshair 1 to 3) \"abc\" is not a number of millimetres (for example 249 "
         "or 248.5)",
         false},
        {"181.3", "252.1", "Factors: X 1.0204  Y 0.9877", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.across) + " / " + c.down);
        Type(window, "txtAcross", QString::fromLatin1(c.across));
        Type(window, "txtDown", QString::fromLatin1(c.down));
        EXPECT_EQ(worked->text().toStdString(), c.shown);
        EXPECT_EQ(save->isEnabled(), c.saves);
    }
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    const auto kept = CalibrationStore(ini).Get("office");
    ASSERT_TRUE(kept.ok() && kept->has_value());
    EXPECT_NEAR((*kept)->sx, 185 / 181.3, 1e-5);
    EXPECT_NEAR((*kept)->sy, 249 / 252.1, 1e-5);
    EXPECT_EQ(ReadBytes(ini).rfind("Printer=office\r\nCalibration.office=", 0), 0u) << ReadBytes(ini);

    app::frmCalibrate again({"office", LetterPaper(), ini, {}});
    EXPECT_EQ(In<QLabel>(again, "lblStored")->text(), "Now: X 1.0204  Y 0.9877");
    // Reset asks first; its default answer keeps the calibration.
    const std::string calibrated = ReadBytes(ini);
    QTest::mouseClick(In<QPushButton>(again, "cmdReset"), Qt::LeftButton);
    EXPECT_EQ(dialogs.Said(), "Warning: Forget the calibration of office (Now: X 1.0204  Y 0.9877)? Its marks then "
                              "print unstretched.");
    EXPECT_EQ(ReadBytes(ini), calibrated);
    dialogs.QueueAnswer(app::Answer::Ok);
    QTest::mouseClick(In<QPushButton>(again, "cmdReset"), Qt::LeftButton);
    EXPECT_EQ(In<QLabel>(again, "lblStored")->text(), "Now: not calibrated");
    EXPECT_EQ(ReadBytes(ini), "Printer=office\r\n");
}

// The main window shows the printer's calibration under the offsets; every job on that printer
// goes through it (the test pattern's marks are stretched), a PDF file does not, and Reset
// forgets it. After a test pattern the job status says how to feed the slip.
TEST(CalibrateWindow, TheMainWindowShowsAppliesAndResetsThePrintersCalibration)
{
    ProgramHome home({"LO649"});
    MainWindowRig rig(home);
    auto* scale = rig.Child<QLabel>("lblScale");
    auto* reset = rig.Child<QPushButton>("cmdResetScale");
    EXPECT_EQ(scale->text(), "Not Calibrated (office)");
    EXPECT_EQ(reset->text().remove(QLatin1Char('&')), "Reset Calibration");  // not the offsets above it
    EXPECT_FALSE(reset->isEnabled());
    rig.Click("cmdTest");
    const auto plain = rig.printer.last().marks();
    ASSERT_FALSE(plain.empty());
    EXPECT_TRUE(rig.Child<QLabel>("lblFeed")->isVisible());
    EXPECT_EQ(rig.Child<QLabel>("lblFeed")->text(),
              "Feed The Slip Right Edge First, Printed Side Up, Top Edge Against The Paper Guide");

    // Calibrated through the window, as a user would: type the distances and Save.
    QString helpPage;
    bool helpUsable = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // F1 opens the help at the page on calibrating, as a window the dialog does not block.
        QApplication::setActiveWindow(dialog);
        QTest::keyClick(dialog, Qt::Key_F1);
        if (auto* help = dynamic_cast<app::frmHelp*>(app::FindForm(QStringLiteral("frmHelp")))) {
            helpPage = help->page();
            helpUsable = help->parentWidget() == dialog;  // a window of the dialog: not blocked by it
        }
        QTest::mouseClick(In<QPushButton>(*dialog, "cmdPrintPage"), Qt::LeftButton);
        Type(*dialog, "txtAcross", QStringLiteral("176.4"));
        Type(*dialog, "txtDown", QStringLiteral("270"));
        QTest::mouseClick(In<QPushButton>(*dialog, "cmdSave"), Qt::LeftButton);
    });
    rig.Click("cmdCalibrate");
    EXPECT_EQ(helpPage, QStringLiteral("calibrating.html"));
    EXPECT_TRUE(helpUsable);
    // The job status says the page went, as after any job.
    EXPECT_EQ(rig.Child<QLabel>("Label2")->text(), "Printed The Calibration Page");
    EXPECT_EQ(rig.Child<QLabel>("lblDest")->text(), "Sent To Printer office");
    EXPECT_EQ(scale->text(), "X 1.0204  Y 0.9889 (office)");
    EXPECT_TRUE(reset->isEnabled());
    rig.Click("cmdTest");
    const auto stretched = rig.printer.last().marks();
    ASSERT_EQ(stretched.size(), plain.size());
    // Landscape: the paper's across runs down the sheet.
    EXPECT_NEAR(stretched.back().y1, plain.back().y1 * (180 / 176.4), 1e-3);
    EXPECT_NE(stretched.back().x1, plain.back().x1);

    rig.dialogs.QueueFile(home.path() / "job.pdf");
    rig.printer.printerInstalled = false;
    rig.dialogs.QueueAnswer(app::Answer::Yes);
    rig.Click("cmdTest");
    EXPECT_EQ(rig.printer.last().marks(), plain);
    rig.printer.printerInstalled = true;

    // Reset asks first; the default answer keeps the calibration.
    rig.dialogs.Clear();
    QTest::mouseClick(reset, Qt::LeftButton);
    EXPECT_EQ(rig.dialogs.Said(), "Warning: Forget the calibration of office (X 1.0204  Y 0.9889)? Its marks then "
                                  "print unstretched.");
    EXPECT_EQ(scale->text(), "X 1.0204  Y 0.9889 (office)");
    rig.dialogs.QueueAnswer(app::Answer::Ok);
    QTest::mouseClick(reset, Qt::LeftButton);
    EXPECT_EQ(scale->text(), "Not Calibrated (office)");
    rig.Click("cmdTest");
    EXPECT_EQ(rig.printer.last().marks(), plain);
    rig.Click("Command1");  // cancelled at the wheel dialog: a job that is no test pattern
    EXPECT_FALSE(rig.Child<QLabel>("lblFeed")->isVisible());
}

// The preview lays the slip out on the printer's paper and draws how it goes in, for the page
// the job sends: a horizontal slip right edge first on a turned Letter sheet, a vertical one top
// edge first. A slip that does not fit the chosen paper is refused naming it.
TEST(FeedDrawing, ThePreviewShowsThePaperAndHowTheSlipGoesIn)
{
    ProgramHome home({"LO649", "VT645"});
    MainWindowRig rig(home);
    home.WriteWheel("w.txt", "1,2,3,4,5,6\r\n");
    const QString wheel = QString::fromStdString(home.wheel("w.txt").string());
    rig.printer.paper.paper = LetterPaper();
    const struct {
        const char* listed;
        float width, height;
        const char* line;
    } cases[] = {
        {"LO649.def", 279.4f, 215.9f,
         "Feed The Slip Right Edge First, Printed Side Up, Top Edge Against The Paper Guide"},
        {"VT645.def", 215.9f, 279.4f,
         "Feed The Slip Top Edge First, Printed Side Up, Left Edge Against The Paper Guide"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listed);
        rig.Choose(c.listed);
        rig.dialogs.QueueFile(wheel);
        rig.Click("cmdPreview");
        auto* preview = rig.window->findChild<QWidget*>(QStringLiteral("frmPreview"));
        ASSERT_NE(preview, nullptr);
        auto* view = static_cast<app::SlipView*>(preview->findChild<QWidget*>(QStringLiteral("picSlip")));
        EXPECT_FLOAT_EQ(view->drawing().sheetWidth, c.width);
        EXPECT_FLOAT_EQ(view->drawing().sheetHeight, c.height);
        auto* feed = static_cast<app::FeedView*>(preview->findChild<QWidget*>(QStringLiteral("picFeed")));
        ASSERT_NE(feed, nullptr);
        EXPECT_EQ(feed->advice().line, c.line);
        EXPECT_EQ(feed->toolTip().toStdString(), c.line);
        preview->close();
        QApplication::processEvents();
    }
    rig.Choose("LO649.def");
    rig.printer.paper.paper = Paper{"", 82, 150};
    rig.dialogs.QueueFile(wheel);
    rig.Click("cmdPreview");
    EXPECT_NE(rig.dialogs.Said().find("off the 82 x 150 mm sheet (landscape, 150 x 82 mm)"), std::string::npos)
        << rig.dialogs.Said();
}

// Printer Setup is a dialog of its own that offers the printers and nothing a job would ignore,
// and the paper sizes and the sources the printer has (a private cupsd whose queue "bm-letter"
// holds Letter and offers a tray and manual feed, beside the default queue). The printer, paper
// and source chosen there reach the spooler with the next job, as its own record of the job shows;
// a custom size that is no size keeps the dialog open, saying why.
TEST(PrinterSetup, TheChosenPrinterPaperAndSourceReachTheJob)
{
    bmtest::PrivateCups cupsd;
    if (!cupsd.started)
        GTEST_SKIP() << cupsd.why;
    ASSERT_EQ(cupsd.Script("queue bm-letter Letter").status, 0);
    // libcups keeps the server it first used in this process: this test's daemon is named outright.
    setenv("CUPS_SERVER", cupsd.server.c_str(), 1);
    cupsSetServer(cupsd.server.c_str());
    const std::shared_ptr<void> unset(nullptr, [](void*) {
        unsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    });

    bmtest::ScriptedDialogs dialogs;
    bm::app::QtPrintTarget target;
    target.UsePrinter("bm-letter");
    EXPECT_EQ(target.PrinterPaper(), bm::LetterPaper());
    target.UsePrinter("brindlemark-pdf");
    QString title;
    bool hasHelpKey = false;
    QStringList paperLines, customNames;
    QStringList offered, buttons, sizes, sources;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        hasHelpKey = dialog->findChild<QShortcut*>(QStringLiteral("shortcutF1")) != nullptr;
        auto* printer = dialog->findChild<QComboBox*>(QStringLiteral("cboPrinter"));
        auto* size = dialog->findChild<QComboBox*>(QStringLiteral("cboPaperSize"));
        auto* source = dialog->findChild<QComboBox*>(QStringLiteral("cboPaperSource"));
        ASSERT_TRUE(printer && size && source);
        for (int i = 0; i < printer->count(); ++i)
            offered << printer->itemText(i).remove(QStringLiteral(" (default)"));
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            buttons << b->text().remove(QLatin1Char('&'));
        printer->setCurrentIndex(printer->findData(QStringLiteral("bm-letter")));
        for (int i = 0; i < size->count(); ++i)
            sizes << size->itemText(i);
        for (int i = 0; i < source->count(); ++i)
            sources << source->itemText(i);
        const QString ownPaper = dialog->findChild<QLabel*>(QStringLiteral("lblPaper"))->text();
        size->setCurrentIndex(size->count() - 1);  // Custom
        // The printer's paper is no longer what the job uses, and the custom boxes are named.
        paperLines = {ownPaper, dialog->findChild<QLabel*>(QStringLiteral("lblPaper"))->text()};
        for (const char* box : {"txtPaperWidth", "txtPaperHeight"}) {
            auto* entry = dialog->findChild<QLineEdit*>(QString::fromLatin1(box));
            customNames << entry->accessibleName();
            for (QLabel* label : dialog->findChildren<QLabel*>())
                if (label->buddy() == entry)
                    customNames << label->text().remove(QLatin1Char('&'));
        }
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
    EXPECT_EQ(title, QStringLiteral("Printer Setup"));
    EXPECT_TRUE(hasHelpKey);  // F1, which the main window cannot take while this dialog is open
    EXPECT_EQ(paperLines, (QStringList{"Letter (215.9 x 279.4 mm)",
                                       "the paper size chosen below (the printer's own: Letter (215.9 x 279.4 mm))"}));
    EXPECT_EQ(customNames, (QStringList{"Custom paper width in millimetres", "Width",
                                        "Custom paper height in millimetres", "Height"}));
    EXPECT_EQ(offered, (QStringList{QStringLiteral("bm-letter"), QStringLiteral("brindlemark-pdf")}));
    EXPECT_FALSE(buttons.contains(QStringLiteral("Print"))) << buttons.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(sizes, (QStringList{"As The Printer Is Set Up", "A4 (210 x 297 mm)", "Letter (215.9 x 279.4 mm)",
                                  "Legal (215.9 x 355.6 mm)", "Custom"}));
    EXPECT_EQ(sources, (QStringList{"As The Printer Is Set Up", "Tray 1", "Manual Feed"}));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_NE(dialogs.shown()[0].text.toStdString().find("The custom paper size \"82x1,90\""), std::string::npos);
    EXPECT_EQ(target.ChosenPrinter(), "bm-letter");
    // The queue has a driver (a PPD): the tray is the driver's own choice.
    EXPECT_EQ(target.ChosenPaper(), (bm::PaperChoice{bm::Paper{"", 82, 190}, "Manual"}));
    EXPECT_EQ(target.PrinterPaper(), (bm::Paper{"", 82, 190}));

    auto surface = target.PrinterSurface();
    ASSERT_TRUE(surface) << surface.error().message;
    (*surface)->UseMillimetres();
    (*surface)->FillBox(10, 10, 15, 15);
    ASSERT_TRUE((*surface)->EndDocument());
    const std::string media = cupsd.JobMedia(1);
    EXPECT_TRUE(bmtest::HasText(media, "media=custom_82x190mm_82x190mm;"));
    EXPECT_TRUE(bmtest::HasText(media, "InputSlot=Manual;"));
    EXPECT_NE(RunShell("lpstat -W all -o bm-letter", cupsd.env()).out, "");
    EXPECT_EQ(RunShell("lpstat -W all -o brindlemark-pdf", cupsd.env()).out, "");
}

}  // namespace
