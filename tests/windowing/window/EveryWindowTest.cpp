#include <functional>
#include <set>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"
#include "app/QtPrintTarget.h"
#include "app/frmSplash.h"
#include "checking/GameVariants.h"
#include "checking/window/Checkers.h"
#include "checking/window/HistoryWindow.h"
#include "definitions/editor/GendefOpeners.h"
#include "printing/qt/Spooler.h"
#include "support/PrintJobSupport.h"
#include "windowing/Mnemonics.h"
#include "windowing/ScreenFit.h"
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
        home_.WriteWheel("w.txt", bmtest::Wheel(40));
        home_.AddDefinition("LM750.def", "LM750");
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
        for (const auto& [definition, checker] : {std::pair{"LO649.def", "frmChkwhl"}, {"TK539.def", "frmChkwhl5"},
                                                   {"LM750.def", "frmChkwhl7"}, {"PB569.def", "frmChkwhlPB"}}) {
            rig_.Choose(definition);
            rig_.Click("cmdChkTick");
            see(std::string("checker ") + checker, opened(checker));
        }
        rig_.Click("cmdHelp");
        see("help", opened("frmHelp"));
        rig_.Choose("LO649.def");
        rig_.dialogs.QueueFile(QString::fromStdString(home_.wheel("w.txt").string()));
        rig_.Click("cmdPreview");
        see("preview", rig_.window->findChild<QWidget*>(QStringLiteral("frmPreview")));
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
        const bm::CheckGame& game = bm::CheckerByName("frmChkwhlPB").Game(false);
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

    QWidget* PrinterSetup()
    {
        auto dialog = bm::app::MakePrinterSetup(rig_.window.get(), {"office", "A very long printer queue name, upstairs"},
                                                "office", [](const std::string&) { return std::nullopt; });
        bm::app::FitToScreen(dialog.get());
        dialog->show();
        return dialog.release();
    }

    ProgramHome home_;
    MainWindowRig rig_;
};

// Every window opens wholly on the screen it is on and can be made as small as 1024x700.
TEST(EveryWindow, OpensOnTheScreenAndShrinksTo1024x700)
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
            EXPECT_TRUE(screen.area.contains(frame))
                << name << " opens at " << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
            const QSize opened = w.size();
            w.resize(std::min(opened.width(), bm::kSmallestWindowWidth), std::min(opened.height(), bm::kSmallestWindowHeight));
            EXPECT_LE(w.width(), bm::kSmallestWindowWidth) << name << " keeps its width of " << w.width();
            EXPECT_LE(w.height(), bm::kSmallestWindowHeight) << name << " keeps its height of " << w.height();
            w.resize(opened);
        });
        EXPECT_EQ(seen.size(), 13u) << ::testing::PrintToString(seen);
        bm::app::OverrideAvailableArea(nullptr);
    }
}

}  // namespace
