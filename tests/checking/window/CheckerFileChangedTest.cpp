// The ticket file is counted at Load File and read again at Run: whatever happens to it in
// between, Run must neither crash nor report a completed check of a file it did not read.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "checking/CheckTestSupport.h"
#include "checking/window/CheckerWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace {

using bm::app::CheckerWindow;

class CheckerFileChanged : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_.makeProgramFolder();
        CheckerWindow::Options fast;
        fast.pumpIntervalMs = 0;
        fast.paintIntervalMs = 0;
        fast.pollEvery = 1;
        window_ = std::make_unique<CheckerWindow>(bm::CheckerByName("frmChkwhl"), bm::ProgramFolder(dir_.path()),
                                                  [] { return bm::app::CheckerGame{"LO649", 49, true}; }, fast);
        bmtest::WriteBytes(file_, bmtest::kLottoWheel);
        dialogs_.QueueFile(QString::fromStdString(file_.string()));
        Button("cmdGo")->click();
        const char* draw[] = {"1", "2", "3", "4", "5", "6", "7"};
        for (int i = 0; i < 7; ++i)
            window_->findChild<QLineEdit*>(QStringLiteral("txtN%1").arg(i + 1))->setText(QString::fromLatin1(draw[i]));
        ASSERT_TRUE(Button("cmdreset")->isEnabled());
        ASSERT_TRUE(dialogs_.messages().empty());
    }

    QPushButton* Button(const char* name) const { return window_->findChild<QPushButton*>(QString::fromLatin1(name)); }
    QString Status() const { return window_->findChild<QLabel*>(QStringLiteral("lblstatus"))->text(); }

    // Run, answering a Load File dialog with nothing should one appear; the single refusal shown.
    std::string RunRefused()
    {
        Button("cmdreset")->click();
        const auto shown = dialogs_.messages();
        EXPECT_EQ(shown.size(), 1u);
        EXPECT_EQ(dialogs_.unanswered(), 0);
        return shown.empty() ? std::string() : shown.back().text.toStdString();
    }

    bmtest::TempDir dir_;
    bmtest::ScriptedDialogs dialogs_;
    std::unique_ptr<CheckerWindow> window_;
    std::filesystem::path file_ = dir_ / "wheel" / "w.txt";
};

TEST_F(CheckerFileChanged, ADeletedFileIsNamedAndNoCheckIsCompleted)
{
    std::filesystem::remove(file_);
    const std::string message = RunRefused();
    EXPECT_NE(message.find(file_.string() + ": cannot be opened"), std::string::npos) << message;
    EXPECT_EQ(Status(), QStringLiteral("The check stopped: the ticket file has a fault."));
    EXPECT_FALSE(Button("cmdsave")->isEnabled());
}

TEST_F(CheckerFileChanged, AFileSpoiltSinceLoadingIsRefusedAtItsLine)
{
    bmtest::WriteBytes(file_, std::string(bmtest::kLottoWheel) + "1,2,3,x,5,6\r\n");
    const std::string message = RunRefused();
    EXPECT_NE(message.find("w.txt: line 6: \"x\" is not a whole number"), std::string::npos) << message;
    EXPECT_EQ(Status(), QStringLiteral("The check stopped: the ticket file has a fault."));
    EXPECT_FALSE(Button("cmdsave")->isEnabled());
}

TEST_F(CheckerFileChanged, AFileWithMoreOrFewerPlaysSinceLoadingGivesNoContradictoryReport)
{
    for (const std::string& now : {std::string(bmtest::kLottoWheel) + "7,8,9,10,11,12\r\n", std::string("1,2,3,4,5,6\r\n")}) {
        bmtest::WriteBytes(file_, bmtest::kLottoWheel);
        dialogs_.Clear();
        dialogs_.QueueFile(QString::fromStdString(file_.string()));
        Button("cmdGo")->click();
        bmtest::WriteBytes(file_, now);
        const std::string message = RunRefused();
        const std::string count = now.size() > 20 ? "5" : "1";
        EXPECT_EQ(message, file_.string() + ": changed since it was loaded; it now holds " + count +
                               " picks instead of 4. Load it again.");
        EXPECT_EQ(Status(), QStringLiteral("The check stopped: the ticket file has a fault."));
        EXPECT_FALSE(Button("cmdsave")->isEnabled());
        EXPECT_TRUE(window_->ticketFile().isEmpty());
    }
}

TEST_F(CheckerFileChanged, AFolderPutInItsPlaceIsRefused)
{
    std::filesystem::remove(file_);
    std::filesystem::create_directory(file_);
    const std::string message = RunRefused();
    EXPECT_NE(message.find("w.txt: is a folder, not a wheel file"), std::string::npos) << message;
    EXPECT_FALSE(Button("cmdsave")->isEnabled());
}

}  // namespace
