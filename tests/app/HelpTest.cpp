#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/HelpFile.h"
#include "app/frmHelp.h"
#include "common/Version.h"
#include "windowing/Mnemonics.h"
#include "windowing/window/Module1.h"

namespace {

using bm::app::frmHelp;
using bmtest::MainWindowRig;
using bmtest::ProgramHome;

frmHelp* HelpWindow()
{
    return dynamic_cast<frmHelp*>(bm::app::FindForm(QStringLiteral("frmHelp")));
}

void PressF1In(QWidget* window)
{
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_F1);
}

QString ManualText(const char* file)
{
    QFile f(QStringLiteral(":/manual/") + QLatin1String(file));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file;
    return QString::fromUtf8(f.readAll());
}

// The start page names every button of the main window, as the window labels it.
TEST(Manual, TheStartPageNamesEveryButtonOfTheMainWindow)
{
    ProgramHome home;
    MainWindowRig rig(home);
    const QString page = ManualText("start.html").simplified();
    int buttons = 0;
    for (QPushButton* b : rig.main().findChildren<QPushButton*>()) {
        const QString text = b->text().remove(QLatin1Char('&'));
        EXPECT_TRUE(page.contains(QStringLiteral("<b>%1</b>").arg(text))) << text.toStdString();
        ++buttons;
    }
    EXPECT_GE(buttons, 10);
}

// F1 opens the manual at the page of the window with the focus, wherever the focus is in it.
TEST(Help, F1OpensTheManualAtThePageOfTheWindowWithTheFocus)
{
    ProgramHome home;
    MainWindowRig rig(home);
    bm::app::RegisterProgramWindows(rig.windows);

    rig.Click("cmdHelp");
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindow()->page(), QStringLiteral("printing.html"));
    HelpWindow()->ShowPage(QStringLiteral("index.html"));
    PressF1In(rig.window.get());
    EXPECT_EQ(HelpWindow()->page(), QStringLiteral("printing.html"));

    rig.Click("cmdGendef");
    QWidget* editor = bm::app::FindForm(QStringLiteral("frmGendef"));
    ASSERT_NE(editor, nullptr);
    PressF1In(editor);
    EXPECT_EQ(HelpWindow()->page(), QStringLiteral("measuring.html"));
    // The measuring page names every measurement as the editor labels it.
    QTextDocument page;
    page.setHtml(ManualText("measuring.html"));
    for (int field = 3; field <= 16; ++field) {
        const auto* label = editor->findChild<QLabel*>(QStringLiteral("lblM%1").arg(field));
        ASSERT_NE(label, nullptr) << field;
        const QString words = label->text().remove(QLatin1Char('&')).trimmed();
        EXPECT_TRUE(page.toPlainText().contains(words)) << words.toStdString();
    }

    rig.Choose("LO649.def");
    rig.Click("cmdChkTick");
    QWidget* checker = bm::app::FindForm(QStringLiteral("frmChkwhl"));
    ASSERT_NE(checker, nullptr);
    PressF1In(checker);
    EXPECT_EQ(HelpWindow()->page(), QStringLiteral("checking.html"));
    // In the help window itself F1 leaves the page alone.
    HelpWindow()->ShowPage(QStringLiteral("folder.html"));
    PressF1In(HelpWindow());
    EXPECT_EQ(HelpWindow()->page(), QStringLiteral("folder.html"));
    EXPECT_TRUE(rig.helpOpened.empty());
    EXPECT_TRUE(rig.dialogs.shown().empty());

    // In the Draw History window F1 opens the checking page from every control that takes the
    // focus: the table, the total row, the chart, the prize boxes and the buttons.
    home.WriteWheel("w.txt", "1,2,3,10,11,12\r\n1,2,3,4,5,7\r\n");
    home.WriteWheel("d.csv", "1982-06-12,1,2,3,4,5,6,7\r\n1982-06-16,1,2,3,10,11,13,44\r\n");
    rig.dialogs.QueueFile(home.wheel("w.txt"));
    QTest::mouseClick(checker->findChild<QPushButton*>(QStringLiteral("cmdGo")), Qt::LeftButton);
    rig.dialogs.QueueFile(home.wheel("d.csv"));
    QTest::mouseClick(checker->findChild<QPushButton*>(QStringLiteral("cmdHistory")), Qt::LeftButton);
    auto* history = checker->findChild<QWidget*>(QStringLiteral("frmHistory"));
    ASSERT_NE(history, nullptr);
    history->show();
    int tried = 0;
    for (QWidget* w : history->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(history) || w->focusProxy())
            continue;
        HelpWindow()->ShowPage(QStringLiteral("index.html"));
        QApplication::setActiveWindow(history);
        w->setFocus();
        QTest::keyClick(w, Qt::Key_F1);
        ASSERT_NE(HelpWindow(), nullptr) << w->objectName().toStdString();
        EXPECT_EQ(HelpWindow()->page(), QStringLiteral("checking.html"))
            << w->metaObject()->className() << " " << w->objectName().toStdString();
        ++tried;
    }
    EXPECT_GT(tried, 5);
    bm::app::CloseOtherForms(rig.window.get());
}

TEST(Help, AHelpFileTheDesktopOpensTakesThePlaceOfTheManual)
{
    struct Case {
        bool fileThere;
        bool opens;
        bool manualShown;
    };
    for (const Case c : {Case{false, true, true}, Case{true, false, true}, Case{true, true, false}}) {
        ProgramHome home;
        MainWindowRig rig(home);
        rig.helpOpens = c.opens;
        if (c.fileThere)
            bmtest::WriteBytes(home.path() / "Swhelp.chm", "ITSF");
        rig.Click("cmdHelp");
        PressF1In(rig.window.get());
        const QString file = QString::fromStdString((home.path() / "Swhelp.chm").string());
        const std::vector<QString> asked = c.fileThere ? std::vector<QString>{file, file} : std::vector<QString>{};
        EXPECT_EQ(rig.helpOpened, asked);
        EXPECT_EQ(HelpWindow() != nullptr, c.manualShown) << c.fileThere << c.opens;
        EXPECT_TRUE(rig.dialogs.shown().empty());
        bm::app::CloseOtherForms(rig.window.get());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST(Manual, EveryPageLinkAnchorAndDrawingResolves)
{
    QStringList listed;
    for (const auto& p : bm::app::ManualPages())
        listed << QLatin1String(p.file);
    // Every page of the manual is in the contents, and the other way round.
    QStringList shipped;
    for (const QString& f : QDir(QStringLiteral(":/manual")).entryList({QStringLiteral("*.html")}))
        shipped << f;
    listed.sort();
    EXPECT_EQ(listed, shipped);
    // and the program carries every page written for it.
    const QDir written(QStringLiteral(SAMPLE_DIR "/../doc/manual"));
    EXPECT_EQ(written.entryList({QStringLiteral("*.html"), QStringLiteral("*.svg")}),
              QDir(QStringLiteral(":/manual")).entryList({QStringLiteral("*.html"), QStringLiteral("*.svg")}));

    const QRegularExpression target(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
    int links = 0;
    for (const QString& page : shipped) {
        const QString html = ManualText(page.toLatin1().constData());
        for (auto m = target.globalMatch(html); m.hasNext();) {
            const QString link = m.next().captured(1);
            if (link.startsWith(QLatin1String("http")))
                continue;
            const QString file = link.section(QLatin1Char('#'), 0, 0);
            const QString anchor = link.section(QLatin1Char('#'), 1);
            const QString to = file.isEmpty() ? page : file;
            ASSERT_TRUE(QFile::exists(QStringLiteral(":/manual/") + to))
                << page.toStdString() << " -> " << link.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(ManualText(to.toLatin1().constData()).contains(QStringLiteral("name=\"%1\"").arg(anchor)))
                    << page.toStdString() << " -> " << link.toStdString();
            }
            ++links;
        }
    }
    EXPECT_GT(links, 20);

    // The drawing reaches the page as a picture of its full size.
    frmHelp help({});
    auto* browser = help.findChild<QTextBrowser*>(QStringLiteral("txtPage"));
    const QVariant drawing =
        browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("qrc:/manual/measuring.svg")));
    const QImage image = drawing.value<QImage>();
    EXPECT_EQ(image.size() / image.devicePixelRatio(), QSize(760, 850));
}

TEST(Help, WindowGoesBackAndForwardSearchesTheManualAndShowsAbout)
{
    ProgramHome home;
    bmtest::ScriptedDialogs dialogs;
    frmHelp help(home.path());
    help.ShowPage(QStringLiteral("start.html"));
    help.ShowPage(QStringLiteral("measuring.html"));
    EXPECT_EQ(help.findChild<QListWidget*>(QStringLiteral("lstContents"))->currentItem()->text(),
              QStringLiteral("Measuring a slip"));
    QTest::mouseClick(help.findChild<QPushButton*>(QStringLiteral("cmdBack")), Qt::LeftButton);
    EXPECT_EQ(help.page(), QStringLiteral("start.html"));
    QTest::mouseClick(help.findChild<QPushButton*>(QStringLiteral("cmdForward")), Qt::LeftButton);
    EXPECT_EQ(help.page(), QStringLiteral("measuring.html"));

    // Not on this page: the next page that has it.
    auto* find = help.findChild<QLineEdit*>(QStringLiteral("txtFind"));
    find->setText(QStringLiteral("Jackpot"));
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_EQ(help.page(), QStringLiteral("checking.html"));
    EXPECT_TRUE(help.findChild<QTextBrowser*>(QStringLiteral("txtPage"))->textCursor().hasSelection());
    EXPECT_FALSE(help.Find(QStringLiteral("xylophone")));
    EXPECT_TRUE(help.findChild<QLabel*>(QStringLiteral("lblFind"))->text().contains(QStringLiteral("xylophone")));

    QTest::mouseClick(help.findChild<QPushButton*>(QStringLiteral("cmdAbout")), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const QString about = dialogs.messages()[0].text;
    EXPECT_TRUE(about.contains(QString::fromStdString(bm::VersionText()))) << about.toStdString();
    EXPECT_TRUE(about.contains(QString::fromStdString(home.path().string()))) << about.toStdString();
}

}  // namespace

namespace {

// The search box has a caption with an Alt key that puts the focus into it.
TEST(Help, TheSearchBoxIsReachedByItsAltKey)
{
    ProgramHome home;
    frmHelp help(home.path());
    help.show();
    QApplication::setActiveWindow(&help);
    auto* find = help.findChild<QLineEdit*>(QStringLiteral("txtFind"));
    QLabel* caption = nullptr;
    for (QLabel* l : help.findChildren<QLabel*>())
        if (l->buddy() == find)
            caption = l;
    ASSERT_NE(caption, nullptr);
    const char key = bm::MnemonicOf(caption->text().toStdString());
    ASSERT_NE(key, 0) << caption->text().toStdString();
    help.findChild<QWidget*>(QStringLiteral("lstContents"))->setFocus();
    QTest::keyClick(&help, static_cast<Qt::Key>(Qt::Key_A + (key - 'a')), Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), find);
    EXPECT_EQ(caption->text().remove(QLatin1Char('&')), QStringLiteral("Search"));
}

}  // namespace
