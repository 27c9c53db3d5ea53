#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/QtPrintTarget.h"
#include "app/frmSplash.h"
#include "checking/GameVariants.h"
#include "checking/window/Checkers.h"
#include "checking/window/HistoryWindow.h"
#include "definitions/editor/GendefOpeners.h"
#include "paper/window/frmCalibrate.h"
#include "printing/Spooler.h"
#include "support/PrintJobSupport.h"
#include "wheels/window/WheelsWindow.h"
#include "windowing/Mnemonics.h"
#include "windowing/ScreenFit.h"
#include "windowing/window/Module1.h"
#include "windowing/window/WindowManners.h"

namespace {

using bmtest::MainWindowRig;
using bmtest::ProgramHome;

struct Screen {
    const char* name;
    QRect area;  // its free area in logical pixels
};
// A 1366x768 laptop less a 28-pixel panel at scale 1, and a 2560x1440 screen at scale 2 beside it.
const Screen kScreens[] = {{"1366x768 at scale 1", QRect(0, 0, 1366, 740)},
                           {"2560x1440 at scale 2", QRect(1366, 0, 1280, 720)}};

// Every window of the program, opened the way the program opens it, on a program folder of its own.
class EveryWindow {
public:
    EveryWindow() : rig_(home_)
    {
        rig_.windows.SetEditor(bm::app::GendefOpeners());
        bm::app::RegisterCheckers(rig_.windows);
        bm::app::RegisterWheelsWindow(rig_.windows);
        home_.WriteWheel("w.txt", bmtest::Wheel(40));
        home_.AddDefinition("LM750.def", "LM750");
        rig_.main().ReloadDefinitions();
        bm::app::FitToScreen(rig_.window.get());
    }

    // Each window with its name, shown; `look` sees it before it is closed again.
    void ForEach(const std::function<void(const std::string& name, QWidget& window)>& look)
    {
        look("main window", *rig_.window);
        const auto opened = [&](const char* name) { return bm::app::FindForm(QString::fromLatin1(name)); };
        const auto see = [&](const std::string& what, QWidget* w) {
            ASSERT_NE(w, nullptr) << what;
            QPointer<QWidget> alive(w);
            look(what, *w);
            if (alive) {
                alive->setAttribute(Qt::WA_DeleteOnClose);
                alive->close();
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        rig_.Click("cmdGendef");
        see("editor, Make", opened("frmGendef"));
        rig_.Choose("LO649.def");
        rig_.ClickRow(rig_.main().findChild<QListWidget*>(QStringLiteral("File1"))->currentRow(), true);
        see("editor, Modify", opened("frmGendef"));
        for (const auto& [definition, checker] : {std::pair{"LO649.def", "frmChkwhl"},
                                                  {"TK539.def", "frmChkwhl5"},
                                                  {"LM750.def", "frmChkwhl7"},
                                                  {"PB569.def", "frmChkwhlPB"}}) {
            rig_.Choose(definition);
            rig_.Click("cmdChkTick");
            see(std::string("checker ") + checker, opened(checker));
        }
        rig_.Click("cmdHelp");
        see("help", opened("frmHelp"));
        rig_.Choose("LO649.def");
        rig_.dialogs.QueueFile(home_.wheel("w.txt"));
        rig_.Click("cmdPreview");
        see("preview", rig_.window->findChild<QWidget*>(QStringLiteral("frmPreview")));
        rig_.Click("cmdWheels");
        see("wheels", opened("frmWheels"));
        see("calibrate", Calibrate());
        see("Draw History of the powerball game", DrawHistory());
        see("printer setup", PrinterSetup());
        auto* splash = new bm::app::frmSplash;
        splash->show();
        see("splash", splash);
    }

private:
    // As a finished run opens it: a powerball game, a year of dated draws, prizes for every tier.
    QWidget* DrawHistory()
    {
        const bm::CheckGame& game = bm::CheckerById("powerball").Game(false);
        std::vector<bm::HistoryRow> rows;
        bm::HistoryRun run;
        for (int d = 0; d < 104; ++d) {
            bm::HistoryRow row;
            row.draw.date = QDate(2025, 1, 1).addDays(3 * d).toString(Qt::ISODate).toStdString();
            row.draw.draw.mainCount = 5;
            for (int i = 0; i < 5; ++i)
                row.draw.draw.main[static_cast<std::size_t>(i)] = 1 + i + d % 30;
            row.draw.draw.extra = 1 + d % 20;
            for (std::size_t t = 0; t < game.tiers.size(); ++t)
                row.tally.count[t] = 100000 + d * 1000 + static_cast<std::int64_t>(t);
            rows.push_back(row);
        }
        run.draws = 104;
        run.plays = 1000000;
        auto* w = new bm::app::HistoryWindow(game, "PB569", {home_.wheel("w.txt"), home_.wheel("d.csv")}, rows, run,
                                             bm::ProgramFolder(home_.path()));
        bm::app::FitToScreen(w);
        w->show();
        return w;
    }

    // As the Calibrate button opens it, on a printer with Letter paper.
    QWidget* Calibrate()
    {
        bm::app::frmCalibrate::Printer printer;
        printer.name = "office";
        printer.paper = bm::PaperOfSize(215.9f, 279.4f);
        printer.settingsFile = home_.path() / "Brindlemark.ini";
        auto* dialog = new bm::app::frmCalibrate(std::move(printer), rig_.window.get());
        bm::app::FitToScreen(dialog);
        dialog->show();
        return dialog;
    }

    QWidget* PrinterSetup()
    {
        auto setup = bm::app::MakePrinterSetup(
            rig_.window.get(), {"office", "A very long printer queue name, upstairs"}, "office", {},
            {[](const std::string&) { return std::nullopt; },
             [](const std::string&) {
                 return std::vector<bm::PaperSource>{{"tray-1", "Tray 1"}, {"manual", "Manual Feed"}};
             }});
        bm::app::FitToScreen(setup.dialog.get());
        setup.dialog->show();
        return setup.dialog.release();
    }

    ProgramHome home_;
    MainWindowRig rig_;
};

// The captions that take an Alt key in a window: buttons, check boxes, options, labels of entries.
std::vector<std::pair<QWidget*, std::string>> Captions(QWidget& window)
{
    std::vector<std::pair<QWidget*, std::string>> out;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window)
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty())
            out.emplace_back(w, b->text().toStdString());
        else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
            out.emplace_back(w, l->text().toStdString());
    }
    return out;
}

// Every caption has an Alt key of its own; only one whose every letter and digit another caption
// holds goes without (the editor's R12, beside R1, R2 and R11). A panel that holds its own keys
// (the editor's extra marks and second pool) has them unique among its captions.
void ExpectOwnAltKeys(const std::string& name, QWidget& w)
{
    const auto captions = Captions(w);
    std::map<const QWidget*, std::map<char, std::string>> keys;  // by panel; null: the window's own
    for (const auto& [widget, text] : captions)
        if (const char key = bm::MnemonicOf(text)) {
            const auto [at, fresh] = keys[bm::app::AltKeyPanelOf(widget)].emplace(key, text);
            EXPECT_TRUE(fresh) << name << ": \"" << text << "\" and \"" << at->second << "\" share Alt+" << key;
        }
    for (const auto& [widget, text] : captions) {
        if (bm::MnemonicOf(text))
            continue;
        const auto& taken = keys[bm::app::AltKeyPanelOf(widget)];
        for (char c : bm::WithoutMnemonic(text)) {
            if (std::isalnum(static_cast<unsigned char>(c))) {
                EXPECT_TRUE(taken.count(static_cast<char>(std::tolower(static_cast<unsigned char>(c)))))
                    << name << ": \"" << text << "\" has no Alt key, though " << c << " is free";
            }
        }
    }
}

// Every window opens wholly on the screen it is on and can be made as small as 1024x700; on the
// first screen every button and entry label has an Alt key of its own.
TEST(EveryWindow, OpensOnTheScreenShrinksTo1024x700AndHasAltKeys)
{
    for (const Screen& screen : kScreens) {
        SCOPED_TRACE(screen.name);
        bm::app::OverrideAvailableArea(&screen.area);
        EveryWindow windows;
        std::vector<std::string> seen;
        windows.ForEach([&](const std::string& name, QWidget& w) {
            seen.push_back(name);
            QCoreApplication::processEvents();
            const QRect frame = w.frameGeometry();
            EXPECT_TRUE(screen.area.contains(frame)) << name << " opens at " << frame.x() << "," << frame.y() << " "
                                                     << frame.width() << "x" << frame.height();
            const QSize opened = w.size();
            w.resize(std::min(opened.width(), bm::kSmallestWindowWidth),
                     std::min(opened.height(), bm::kSmallestWindowHeight));
            EXPECT_LE(w.width(), bm::kSmallestWindowWidth) << name << " keeps its width of " << w.width();
            EXPECT_LE(w.height(), bm::kSmallestWindowHeight) << name << " keeps its height of " << w.height();
            w.resize(opened);
            if (&screen == &kScreens[0])
                ExpectOwnAltKeys(name, w);
        });
        EXPECT_EQ(seen.size(), 14u) << ::testing::PrintToString(seen);
        bm::app::OverrideAvailableArea(nullptr);
    }
}

// The Alt keys work: a label's key puts the focus into its entry, a button's key presses it.
TEST(EveryWindow, AltKeysReachTheirEntriesAndButtons)
{
    ProgramHome home;
    MainWindowRig rig(home);
    QApplication::setActiveWindow(rig.window.get());
    const auto keyOf = [&](const char* name) {
        QWidget* w = rig.window->findChild<QWidget*>(QString::fromLatin1(name));
        const QString text =
            qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text() : qobject_cast<QAbstractButton*>(w)->text();
        return static_cast<Qt::Key>(Qt::Key_A + (bm::MnemonicOf(text.toStdString()) - 'a'));
    };
    QTest::keyClick(rig.window.get(), keyOf("lblLeft"), Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), rig.Child<QWidget>("txtLmarg"));
    QTest::keyClick(rig.window.get(), keyOf("lblTop"), Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), rig.Child<QWidget>("txtTmarg"));
    QTest::keyClick(rig.window.get(), keyOf("cmdHelp"), Qt::AltModifier);
    // A button's key presses it as a click would, a moment later.
    QTRY_COMPARE_WITH_TIMEOUT(rig.helpOpened.size() + (bm::app::IsFormLoaded(QStringLiteral("frmHelp")) ? 1u : 0u), 1u,
                              bmtest::kHangLimitMs);
    if (QWidget* help = bm::app::FindForm(QStringLiteral("frmHelp")))
        help->close();
}

// Enter presses the button that has the focus; Escape closes each window as its Close button
// does. The main window stays: Escape there stops a print job, and Exit ends the program.
TEST(EveryWindow, EnterPressesTheFocusedButtonAndEscapeCloses)
{
    EveryWindow windows;
    std::vector<std::string> closed;
    windows.ForEach([&](const std::string& name, QWidget& w) {
        QPointer<QWidget> window(&w);
        if (name == "splash")
            return;
        QApplication::setActiveWindow(&w);
        if (name == "main window") {
            auto* help = w.findChild<QPushButton*>(QStringLiteral("cmdHelp"));
            help->setFocus();
            QTest::keyClick(help, Qt::Key_Return);
            QTRY_VERIFY_WITH_TIMEOUT(bm::app::IsFormLoaded(QStringLiteral("frmHelp")), bmtest::kHangLimitMs);
            bm::app::FindForm(QStringLiteral("frmHelp"))->close();
            QApplication::setActiveWindow(&w);
            QTest::keyClick(&w, Qt::Key_Escape);
            EXPECT_TRUE(w.isVisible()) << "Escape closed the main window";
            return;
        }
        QWidget* target = QApplication::focusWidget() && QApplication::focusWidget()->window() == &w
                              ? QApplication::focusWidget()
                              : &w;
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(window && window->isVisible()) << name << " stays open after Escape";
        closed.push_back(name);
    });
    EXPECT_EQ(closed.size(), 12u) << ::testing::PrintToString(closed);

    // Enter on a focused Close button closes; on the editor's, after a change, it asks first.
    ProgramHome home;
    MainWindowRig rig(home);
    rig.windows.SetEditor(bm::app::GendefOpeners());
    rig.ClickRow(0, true);
    QWidget* editor = bm::app::FindForm(QStringLiteral("frmGendef"));
    ASSERT_NE(editor, nullptr);
    QApplication::setActiveWindow(editor);
    editor->findChild<QLineEdit*>(QStringLiteral("txtM11"))->setText(QStringLiteral("4"));
    auto* close = editor->findChild<QPushButton*>(QStringLiteral("cmdxit"));
    close->setFocus();
    QTest::keyClick(close, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(rig.dialogs.messages().size(), 1u, bmtest::kHangLimitMs);
    EXPECT_EQ(rig.dialogs.Said(), "Warning: You Haven't Saved Your Changes");
    EXPECT_TRUE(editor->isVisible());
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(rig.dialogs.messages().size(), 2u);
    EXPECT_TRUE(editor->isVisible());
    rig.dialogs.QueueAnswer(bm::app::Answer::Ok);
    QTest::keyClick(close, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!bm::app::IsFormLoaded(QStringLiteral("frmGendef")), bmtest::kHangLimitMs);
}

}  // namespace
