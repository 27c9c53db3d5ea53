#include "app/frmMain.h"

#include <algorithm>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include "app/Dialogs.h"
#include "app/Module1.h"
#include "app/WindowCatalogue.h"
#include "definitions/DefinitionFile.h"
#include "definitions/MarginSettings.h"

// The definition list, the current definition and the offset boxes.

namespace bm::app {

namespace {

QString Native(const std::filesystem::path& p)
{
    return QDir::toNativeSeparators(QString::fromStdString(p.string()));
}

QStringList DefinitionFiles(const std::filesystem::path& defs)
{
    QDir dir(QString::fromStdString(defs.string()));
    QStringList names = dir.entryList({QStringLiteral("*.def")}, QDir::Files,
                                      QDir::Name | QDir::IgnoreCase);
    return names;
}

}  // namespace

void frmMain::ReloadDefinitions()
{
    const QSignalBlocker quiet(File1);
    File1->clear();
    File1->addItems(DefinitionFiles(folder().defs()));
    ShowNoDefinitions(File1->count() == 0);
    ShowCurrentInList();
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
    lblNoDefs->setText(QStringLiteral("There are no slip definitions (*.def files) in the folder %1. "
                                      "Click Make Slip to make one.")
                           .arg(Native(folder().defs())));
    lblNoDefs->setVisible(none);
}

void frmMain::File1_Click(int row)
{
    if (row < 0)
        return;
    if (!SelectDefinition(File1->item(row)->text()))
        ShowCurrentInList();
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
    if (!definition) {
        dialogs().Message(this, QStringLiteral("Brindlemark"),
                          QStringLiteral("The slip definition %1 cannot be used:\n%2\n\n%3 stays the chosen definition.")
                              .arg(listedName, QString::fromStdString(definition.error().message),
                                   current_.chosen() ? QString::fromStdString(current_.listedName)
                                                     : QStringLiteral("No definition")),
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

    // The 6-number checker shows the chosen definition at once; the others read it at their next run.
    if (QWidget* checker = FindForm(QStringLiteral("frmchkwhl"))) {
        if (auto* lblLot = checker->findChild<QLabel*>(QStringLiteral("lblLot")))
            lblLot->setText(QString::fromStdString(name));
    }
    return true;
}

void frmMain::Margin_Change()
{
    if (!current_.chosen())
        return;
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
    const QString why = File1->count() == 0
                            ? QStringLiteral("There are no slip definitions in the folder %1. Click Make Slip to make one.")
                                  .arg(Native(folder().defs()))
                            : QStringLiteral("No slip definition is chosen. Click a definition in the list first.");
    dialogs().Message(this, QStringLiteral("Brindlemark"), why, Icon::Warning, Buttons::Ok);
    return true;
}

}  // namespace bm::app
