#include "app/frmMain.h"

#include <algorithm>

#include <QDir>
#include <QEvent>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include "definitions/DefinitionFile.h"
#include "definitions/MarginSettings.h"
#include "slip/SlipMarks.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/Module1.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WindowCatalogue.h"

// The definition list, the current definition and the offset boxes.

namespace bm::app {

namespace {

QString Native(const std::filesystem::path& p)
{
    return QDir::toNativeSeparators(QString::fromStdString(p.string()));
}

QStringList Listed(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list;
}

}  // namespace

void frmMain::ReloadDefinitions()
{
    {
        const QSignalBlocker quiet(File1);
        File1->clear();
        const DefinitionListing listing = ListDefinitionFiles(folder().defs());
        File1->addItems(Listed(listing.definitions));
        leftOut_ = Listed(listing.leftOut);
    }
    ShowNoDefinitions(File1->count() == 0);
    const QString listed = QString::fromStdString(current_.listedName);
    if (current_.chosen() && File1->findItems(listed, Qt::MatchExactly).isEmpty()) {
        // The current definition is gone: as at start, the first entry (or none) is current.
        current_ = CurrentDefinition{};
        ShowCurrentInList();
        if (File1->count() > 0)
            File1->setCurrentRow(0);
        else
            TellListeners();
        return;
    }
    ShowCurrentInList();
    // Its file may have been rewritten; one that cannot be read now is refused when used.
    if (current_.chosen() && RereadCurrent())
        TellListeners();
}

int frmMain::FirstFamiliarRow() const
{
    // A new user knows slips numbered along their rows: the first such definition, not a
    // down-the-columns one (rows starting 1, 2, 3 ...) that happens to sort first.
    for (int row = 0; row < File1->count(); ++row) {
        const auto def = ReadDefinitionFile(folder().defs() / File1->item(row)->text().toStdString());
        const bool downTheColumns =
            def && def->RowFirstNumber.size() >= 2 && def->RowFirstNumber[1] == def->RowFirstNumber[0] + 1;
        if (def && !downTheColumns)
            return row;
    }
    return 0;
}

void frmMain::SelectFirstOrRemembered()
{
    const QString remembered = QString::fromStdString(RememberedChoices(folder()).Get(RememberedChoices::kDefinition));
    const auto found = File1->findItems(remembered, Qt::MatchExactly);
    // Selecting counts as a click on the entry.
    if (!remembered.isEmpty() && !found.isEmpty())
        File1->setCurrentItem(found.constFirst());
    else if (File1->count() > 0)
        File1->setCurrentRow(FirstFamiliarRow());
}

void frmMain::WatchDefs()
{
    // Definitions added, removed or rewritten by other programs show at once. The program
    // folder is watched too, for a Defs folder made (or made again) while the program runs.
    watcher_ = new QFileSystemWatcher(this);
    const QString home = QString::fromStdString(folder().home().string());
    if (QDir(home).exists())
        watcher_->addPath(home);
    if (const QString defs = QString::fromStdString(folder().defs().string()); QDir(defs).exists())
        watcher_->addPath(defs);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this, home](const QString& path) {
        const QString defs = QString::fromStdString(folder().defs().string());
        if (path == home && (watcher_->directories().contains(defs) || !QDir(defs).exists()))
            return;
        if (!watcher_->directories().contains(defs) && QDir(defs).exists())
            watcher_->addPath(defs);
        DefsChanged();
    });
}

void frmMain::DefsChanged()
{
    // A print job holds the window until it ends; the list follows then.
    if (jobRunning_) {
        reloadPending_ = true;
        return;
    }
    reloadPending_ = false;
    ReloadDefinitions();
}

void frmMain::ShowCurrentInList()
{
    const QSignalBlocker quiet(File1);
    const auto found = File1->findItems(QString::fromStdString(current_.listedName), Qt::MatchExactly);
    if (current_.chosen() && !found.isEmpty())
        File1->setCurrentItem(found.constFirst());
    else
        File1->setCurrentRow(-1);
    // Offsets belong to a definition: without one there is nowhere to store them.
    txtTmarg->setEnabled(current_.chosen());
    txtLmarg->setEnabled(current_.chosen());
}

void frmMain::ShowNoDefinitions(bool none)
{
    QStringList said;
    if (none)
        said << QStringLiteral("There are no slip definitions (*.def files) in the folder %1. "
                               "Click Make Slip to make one.")
                    .arg(Native(folder().defs()));
    // Files that are no definition by their name are said once, here, for as long as they are there.
    if (!leftOut_.isEmpty())
        said << QStringLiteral("%1 %2 in Defs left out: %3 (%4).")
                    .arg(leftOut_.size())
                    .arg(leftOut_.size() == 1 ? QStringLiteral("file") : QStringLiteral("files"),
                         leftOut_.join(QStringLiteral(", ")), QString::fromLatin1(kDefinitionNameRule));
    lblNoDefs->setText(said.join(QStringLiteral("\n")));
    lblNoDefs->setVisible(!said.isEmpty());
}

void frmMain::File1_Click(int row)
{
    if (row < 0)
        return;
    readByPress_ = true;
    if (!SelectDefinition(File1->item(row)->text()))
        ShowCurrentInList();
}

void frmMain::File1_ItemClick(const QString& listedName)
{
    if (readByPress_) {
        readByPress_ = false;
        return;
    }
    if (!SelectDefinition(listedName))
        ShowCurrentInList();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == File1->viewport() && event->type() == QEvent::MouseButtonPress)
        readByPress_ = false;
    return QWidget::eventFilter(watched, event);
}

Result<SlipDefinition> frmMain::RereadCurrent()
{
    if (!current_.chosen())
        return Error{"No slip definition is chosen. Click a definition in the list first."};
    auto values = ReadDefinitionValues(current_.definitionPath);
    // As a job reads it: a name whose game disagrees with the file would be checked as another game.
    auto definition = values ? ReadDefinitionAsNamed(current_.definitionPath) : Result<SlipDefinition>(values.error());
    if (!definition)
        return definition;
    current_.values = std::move(*values);
    current_.definition = *definition;
    current_.bBon = definition->bBon;
    current_.bPB = definition->bPB;
    current_.Horizontal = definition->Horizontal;
    return definition;
}

Result<ChosenDefinition> frmMain::ReadChosen()
{
    const auto definition = RereadCurrent();
    if (!definition)
        return definition.error();
    return ChosenDefinition{current_.definitionPath, current_.listedName, current_.definitionName, *definition};
}

std::shared_ptr<void> frmMain::Listen(std::function<void()> changed)
{
    auto handle = std::make_shared<std::function<void()>>(std::move(changed));
    listeners_.push_back(handle);
    return handle;
}

void frmMain::TellListeners()
{
    std::erase_if(listeners_, [](const auto& l) { return l.expired(); });
    // A listener may close its window, and with it its handle, while it is told.
    const auto listeners = listeners_;
    for (const auto& l : listeners)
        if (const auto changed = l.lock())
            (*changed)();
    RefreshPreviewSoon();
}

void frmMain::File1_DblClick()
{
    // The click that came first has made the entry current; a failed one was reported then.
    QListWidgetItem* item = File1->currentItem();
    if (!item || item->text().toStdString() != current_.listedName)
        return;
    if (const auto& modify = services_.windows->editor().modify)
        modify(*this, current_.listedName);
}

bool frmMain::SelectDefinition(const QString& listedName)
{
    const std::string listed = listedName.toStdString();
    const std::filesystem::path path = folder().defs() / listed;
    const std::string name = DefinitionName(listed);
    // The values are read from the listed file, the one the print job prints from.
    auto values = ReadDefinitionValues(path);
    auto definition = values ? ReadDefinitionFile(path) : Result<SlipDefinition>(values.error());
    // Its marks file is part of it: one the job would refuse refuses the definition here too.
    if (const auto marks = definition ? ReadSlipMarks(MarksFileOf(path)) : Result<SlipMarks>(SlipMarks{}); !marks)
        definition = marks.error();
    if (!definition) {
        dialogs().Message(
            this, QStringLiteral("Brindlemark"),
            QStringLiteral("The slip definition %1 cannot be used:\n%2\n\n%3 stays the chosen definition.")
                .arg(listedName, QString::fromStdString(definition.error().message),
                     current_.chosen() ? QString::fromStdString(current_.listedName) : QStringLiteral("No definition")),
            Icon::Error, Buttons::Ok);
        return false;
    }
    auto margins = ReadMargins(folder(), name);
    if (!margins) {
        dialogs().Message(this, QStringLiteral("Brindlemark"),
                          QStringLiteral("The offsets of %1 cannot be read:\n%2\n\nThe offsets show 0 until you "
                                         "type new ones, which replace that file.")
                              .arg(QString::fromStdString(name), QString::fromStdString(margins.error().message)),
                          Icon::Warning, Buttons::Ok);
        margins = MarginSettings{};
    }

    current_.definitionPath = path;
    current_.listedName = listed;
    current_.definitionName = name;
    current_.pickDigit = name.size() >= 3 ? name[2] : '\0';
    current_.values = std::move(*values);
    current_.definition = *definition;
    current_.bBon = definition->bBon;
    current_.bPB = definition->bPB;
    current_.Horizontal = definition->Horizontal;
    marginErrorShown_ = false;
    txtTmarg->setEnabled(true);
    txtLmarg->setEnabled(true);
    // Showing the stored offsets is not an edit: nothing is written.
    txtTmarg->setText(QString::fromStdString(margins->top));
    txtLmarg->setText(QString::fromStdString(margins->left));

    (void)RememberedChoices(folder()).Set(RememberedChoices::kDefinition, listed);
    TellListeners();
    return true;
}

void frmMain::Margin_Change()
{
    if (!current_.chosen())
        return;
    RefreshPreviewSoon();
    const MarginSettings typed{txtTmarg->text().toStdString(), txtLmarg->text().toStdString()};
    const auto written = WriteMargins(folder(), current_.definitionName, typed);
    if (written) {
        marginErrorShown_ = false;
        return;
    }
    // Said once until a write succeeds again, not at every keystroke.
    if (marginErrorShown_)
        return;
    marginErrorShown_ = true;
    dialogs().Message(this, QStringLiteral("Brindlemark"),
                      QStringLiteral("The offsets could not be stored:\n%1\n\nThey are used for printing "
                                     "until the program ends.")
                          .arg(QString::fromStdString(written.error().message)),
                      Icon::Error, Buttons::Ok);
}

bool frmMain::RefuseWithoutDefinition()
{
    if (current_.chosen())
        return false;
    const QString why =
        File1->count() == 0
            ? QStringLiteral("There are no slip definitions in the folder %1. Click Make Slip to make one.")
                  .arg(Native(folder().defs()))
            : QStringLiteral("No slip definition is chosen. Click a definition in the list first.");
    dialogs().Message(this, QStringLiteral("Brindlemark"), why, Icon::Warning, Buttons::Ok);
    return true;
}

}  // namespace bm::app
