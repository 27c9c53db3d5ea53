#include "app/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

#include "app/CheckerChoice.h"
#include "app/PrintTarget.h"
#include "common/Version.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/JobPump.h"
#include "windowing/window/Module1.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WindowCatalogue.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

frmMain::frmMain(Services services, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      pump_(std::make_unique<JobPump>(services_.pumpIntervalMs))
{
    BuildUi();
    setWindowTitle(QString::fromStdString(MainTitle()));
    Connect();
    // Escape stops a print job here; Exit ends the program.
    UseWindowKeys(this, EscapeCloses::No);
    if (const std::string printer = RememberedChoices(folder()).Get(RememberedChoices::kPrinter); !printer.empty())
        services_.printer->UsePrinter(printer);
    RememberPaper(false);
    ShowCalibration();
    ReloadDefinitions();
    SelectFirstOrRemembered();
    WatchDefs();
}

frmMain::~frmMain() = default;

void frmMain::Connect()
{
    // A press that changes the row reads the entry there; a click on the current entry reads it
    // again, since its file may have changed since.
    File1->viewport()->installEventFilter(this);
    connect(File1, &QListWidget::currentRowChanged, this, &frmMain::File1_Click);
    connect(File1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { File1_ItemClick(item->text()); });
    connect(File1, &QListWidget::itemDoubleClicked, this, [this] { File1_DblClick(); });
    // A click on empty space (or a Ctrl click) must not take the highlight off the current
    // definition; another entry selected becomes current by the row change.
    connect(File1, &QListWidget::itemSelectionChanged, this, [this] {
        if (File1->selectedItems().isEmpty() && current_.chosen())
            ShowCurrentInList();
    });
    connect(txtTmarg, &QLineEdit::textEdited, this, &frmMain::Margin_Change);
    connect(txtLmarg, &QLineEdit::textEdited, this, &frmMain::Margin_Change);
    connect(Command1, &QPushButton::clicked, this, [this] { RunJob({}); });
    connect(cmdTest, &QPushButton::clicked, this,
            [this] { RunJob({.testMode = true, .wheel = {}, .slips = {}, .pdf = false, .asker = nullptr}); });
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });
    connect(cmdGendef, &QPushButton::clicked, this, &frmMain::cmdGendef_Click);
    connect(cmdChkTick, &QPushButton::clicked, this, &frmMain::cmdChkTick_Click);
    connect(cmdPdlg, &QPushButton::clicked, this, &frmMain::cmdPdlg_Click);
    connect(cmdCalibrate, &QPushButton::clicked, this, &frmMain::cmdCalibrate_Click);
    connect(cmdResetScale, &QPushButton::clicked, this, &frmMain::cmdResetScale_Click);
    connect(cmdWheels, &QPushButton::clicked, this, [this] {
        if (const WindowFactory factory = services_.windows->checker("frmWheels"))
            ShowForm(QStringLiteral("frmWheels"), [this, &factory] { return factory(*this); });
    });
    connect(cmdHelp, &QPushButton::clicked, this,
            [this] { OpenHelp(folder().home(), services_.openHelp, HelpPageFor(this)); });
    connect(cmdxit, &QPushButton::clicked, this, &frmMain::cmdxit_Click);
    // F1 is the program's help key in every one of its windows, at the page for that window.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setObjectName(QStringLiteral("shortcutF1"));
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this,
            [this] { OpenHelp(folder().home(), services_.openHelp, HelpPageFor(QApplication::activeWindow())); });
    // In a modal dialog: the help opens as a window of the dialog, which the dialog does not block.
    SetHelpKey([home = folder().home(), open = services_.openHelp](QWidget* dialog) {
        OpenHelp(home, open, HelpPageFor(dialog));
        QWidget* help = FindForm(QStringLiteral("frmHelp"));
        if (help && QApplication::activeModalWidget() == dialog && help->parentWidget() != dialog) {
            help->setParent(dialog, help->windowFlags() | Qt::Window);
            help->show();
            help->raise();
            help->activateWindow();
        }
    });
}

void frmMain::cmdGendef_Click()
{
    if (const auto& make = services_.windows->editor().make)
        make(*this);
}

void frmMain::cmdPdlg_Click()
{
    services_.printer->SetupPrinter(this);
    if (const std::string chosen = services_.printer->ChosenPrinter(); !chosen.empty())
        (void)RememberedChoices(folder()).Set(RememberedChoices::kPrinter, chosen);
    RememberPaper(true);
    ShowCalibration();
    // An open preview shows the slip on the paper chosen now.
    RefreshPreviewSoon();
}

void frmMain::cmdChkTick_Click()
{
    if (RefuseWithoutDefinition())
        return;
    // The checker of the game the file holds now.
    if (const auto fresh = RereadCurrent(); !fresh) {
        dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(fresh.error().message),
                          Icon::Error, Buttons::Ok);
        return;
    }
    const auto name = CheckerWindowFor(current_);
    if (!name)
        return;
    const WindowFactory factory = services_.windows->checker(*name);
    if (!factory) {
        dialogs().Message(this, QStringLiteral("Brindlemark"),
                          QStringLiteral("The ticket checker for this game (%1) is not part of this build.")
                              .arg(QString::fromStdString(*name)),
                          Icon::Warning, Buttons::Ok);
        return;
    }
    ShowForm(QString::fromStdString(*name), [this, &factory] { return factory(*this); });
}

void frmMain::cmdxit_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (jobRunning_) {
        // The window stays while a job prints; closing it stops the job as Escape does.
        pump_->RequestStop();
        event->ignore();
        return;
    }
    // A window that keeps unsaved work open (its user said Cancel) keeps the program running.
    if (!CloseOtherForms(this)) {
        event->ignore();
        return;
    }
    event->accept();
    QApplication::quit();
}

}  // namespace bm::app
