#include "definitions/editor/frmGendef.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

#include "slip/MarkPlacement.h"
#include "slip/SlipDrawing.h"
#include "slip/window/ExtraMarksPanel.h"
#include "slip/window/SecondPoolPanel.h"
#include "slip/window/SlipView.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

}  // namespace

frmGendef::frmGendef(GendefHost host, QWidget* parent) : QWidget(parent), host_(std::move(host))
{
    setObjectName(QString::fromLatin1(kName));
    BuildUi();
    SetFocusOrder();
    setWindowTitle(QStringLiteral("Generate Playslip File"));
    cmdreset->setText(QStringLiteral("&Make"));
    optLay[0]->setChecked(true);
    ConnectChanges();
    Redraw();
    UseWindowKeys(this);
    // A new definition starts with its name.
    txtFn->setFocus(Qt::OtherFocusReason);
}

void frmGendef::ConnectChanges()
{
    // The name entry is left out: renaming alone is no change worth saving.
    for (QLineEdit* box : txtM)
        connect(box, &QLineEdit::textChanged, this, &frmGendef::ShowChanged);
    for (QLineEdit* box : txtR)
        connect(box, &QLineEdit::textChanged, this, &frmGendef::ShowChanged);
    for (QCheckBox* box : chkBon)
        connect(box, &QCheckBox::clicked, this, &frmGendef::ShowChanged);
    for (QRadioButton* option : optLay)
        connect(option, &QRadioButton::clicked, this, &frmGendef::ShowChanged);
    // Loading a definition sets the entries without a change worth saving, but the drawing follows.
    for (QLineEdit* box : txtM) {
        connect(box, &QLineEdit::textChanged, this, &frmGendef::Redraw);
        box->installEventFilter(this);
    }
    for (QLineEdit* box : txtR)
        connect(box, &QLineEdit::textChanged, this, &frmGendef::Redraw);
    for (QCheckBox* box : chkBon)
        connect(box, &QCheckBox::toggled, this, &frmGendef::Redraw);
    for (QRadioButton* option : optLay)
        connect(option, &QRadioButton::toggled, this, &frmGendef::Redraw);
    fraExtra->changed = [this] { ShowChanged(); };
    fraExtra->redraw = [this] { Redraw(); };
    fraExtra->slip = [this]() -> std::optional<SlipDefinition> {
        auto def = DrawableDefinition(Entries());
        return def ? std::optional<SlipDefinition>(*def) : std::nullopt;
    };
    connect(cmdreset, &QPushButton::clicked, this, &frmGendef::cmdreset_Click);
    connect(cmdxit, &QPushButton::clicked, this, &frmGendef::cmdxit_Click);
}

frmGendef::~frmGendef()
{
    // The marks panel's entries go after this window's own part: clearing them then must not
    // call back into an editor that is no more.
    fraExtra->changed = nullptr;
    fraExtra->redraw = nullptr;
    fraExtra->slip = nullptr;
    fraSecond->changed = nullptr;
}

void frmGendef::ShowChanged()
{
    changed_ = true;
    cmdreset->setVisible(true);
}

bool frmGendef::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const auto at = std::find(txtM.begin(), txtM.end(), watched);
        const int field = at == txtM.end() ? -1 : static_cast<int>(at - txtM.begin());
        focusedField_ = event->type() == QEvent::FocusIn ? field : (focusedField_ == field ? -1 : focusedField_);
        Redraw();
    }
    return QWidget::eventFilter(watched, event);
}

void frmGendef::Redraw()
{
    if (!picSlip || !fraExtra)
        return;
    const auto def = DrawableDefinition(Entries());
    if (!def) {
        picSlip->SetNote(QStringLiteral("Not drawn yet: ") + Text(def.error().message));
        return;
    }
    SlipDrawing drawing = DrawingOf(*def);
    if (focusedField_ >= 0)
        drawing.dimension = DimensionOf(Field(focusedField_), *def);
    const SlipMarks marks = MarksFromEntries(fraExtra->Entries());
    // A full mark is the box itself: only a smaller one is worth showing.
    if (marks.width != kFullMark || marks.height != kFullMark)
        drawing.marks = SampleMarks(*def, marks);
    AddExtrasToDrawing(drawing, marks, 0, 0, fraExtra->MarkedExtra());
    AddPanelMarksToDrawing(drawing, *def, marks, 0, 0);
    picSlip->SetDrawing(std::move(drawing));
    // A second grid or board box over another mark is said at once; a save refuses it.
    int line = 0;
    const auto entries = fraExtra->Entries();
    const auto refusal = !entries.secondFault.empty() ? std::optional<std::string>(entries.secondFault)
                                                      : PanelMarksRefusal(*def, marks, 0, 0, line);
    picSlip->SetNote(refusal ? QStringLiteral("Will not print: ") + Text(*refusal) : QString());
}

DefinitionEntries frmGendef::Entries() const
{
    DefinitionEntries e;
    e.name = txtFn->text().toStdString();
    for (int i = 0; i < kFieldCount; ++i)
        e.fields[i] = txtM[i]->text().toStdString();
    for (int r = 0; r < kMaxRowFields; ++r)
        e.rows[r] = txtR[r]->text().toStdString();
    e.bBon = chkBon[0]->isChecked();
    e.bPB = chkBon[1]->isChecked();
    e.Horizontal = optLay[0]->isChecked();
    return e;
}

bool frmGendef::LoadDefinition(const std::string& listedName)
{
    const std::string name = DefinitionName(listedName);
    const std::filesystem::path file = host_.folder.definitionFile(name);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return false;
    const auto definition = ReadDefinitionFile(file);
    // Marks that cannot be read would be lost by the next save.
    const auto marks = definition ? ReadSlipMarks(MarksFileOf(file)) : Result<SlipMarks>(definition.error());
    if (!marks) {
        // Better no editor than one whose entries are not what the file says.
        dialogs().Message(this, QStringLiteral("Brindlemark"),
                          QStringLiteral("The slip definition %1 cannot be modified:\n%2")
                              .arg(Text(name), Text(marks.error().message)),
                          Icon::Error, Buttons::Ok);
        return false;
    }
    const DefinitionEntries e = EntriesFromDefinition(name, *definition);
    txtFn->setText(Text(e.name));
    for (int i = 0; i < kFieldCount; ++i)
        txtM[i]->setText(Text(e.fields[i]));
    // Rows beyond the definition's keep what they held; they are neither checked nor saved.
    for (std::size_t r = 0; r < definition->RowFirstNumber.size() && r < txtR.size(); ++r)
        txtR[r]->setText(Text(e.rows[r]));
    chkBon[0]->setChecked(e.bBon);
    chkBon[1]->setChecked(e.bPB);
    optLay[e.Horizontal ? 0 : 1]->setChecked(true);
    fraExtra->SetMarks(*marks);
    loaded_ = name;

    // Last, since filling the entries counted as changing them.
    mode_ = EditorMode::Modify;
    setWindowTitle(QStringLiteral("Current Settings"));
    cmdreset->setText(QStringLiteral("&Modify"));
    cmdreset->setVisible(false);
    changed_ = false;
    return true;
}

void frmGendef::FocusOn(const FocusTarget& target)
{
    QLineEdit* box = nullptr;
    switch (target.kind) {
    case FocusTarget::Kind::Unchanged:
    case FocusTarget::Kind::Name: box = txtFn; break;
    case FocusTarget::Kind::Field: box = txtM.at(static_cast<std::size_t>(target.index)); break;
    case FocusTarget::Kind::Row: box = txtR.at(static_cast<std::size_t>(target.index)); break;
    }
    box->setFocus(Qt::OtherFocusReason);
}

void frmGendef::cmdreset_Click()
{
    const DefinitionEntries entries = Entries();
    if (const auto failure = ValidateDefinition(entries, mode_)) {
        dialogs().Message(this, QStringLiteral("Go Back"), Text(failure->message), Icon::Error, Buttons::Ok);
        FocusOn(failure->focus);
        return;
    }
    const auto slip = DrawableDefinition(entries);
    if (const auto failure = slip ? ValidateMarks(fraExtra->Entries(), *slip) : std::nullopt) {
        dialogs().Message(this, QStringLiteral("Go Back"), Text(failure->message), Icon::Error, Buttons::Ok);
        fraExtra->FocusOn(*failure);
        return;
    }
    // Another definition of that name is replaced only when the user says so.
    const std::string target = SavedDefinitionName(entries, mode_);
    std::error_code ec;
    if ((mode_ == EditorMode::Make || target != loaded_) &&
        std::filesystem::is_regular_file(host_.folder.definitionFile(target), ec) &&
        dialogs().Message(this, QStringLiteral("Warning"),
                          QStringLiteral("%1 already exists: it holds another slip definition of that name.\n\n"
                                         "Replace it with these entries?")
                              .arg(Text(host_.folder.definitionFile(target).string())),
                          Icon::Warning, Buttons::ReplaceCancel) != Answer::Ok) {
        txtFn->setFocus(Qt::OtherFocusReason);  // another name is the way on
        return;
    }
    const auto written = WriteDefinitionAndMarks(host_.folder, entries, mode_, MarksFromEntries(fraExtra->Entries()));
    if (!written) {
        dialogs().Message(this, QStringLiteral("Brindlemark"),
                          QStringLiteral("The definition was not saved:\n%1\n\nA definition file of that name "
                                         "that was there before is unchanged.")
                              .arg(Text(written.error().message)),
                          Icon::Error, Buttons::Ok);
        return;
    }
    // The list shows the new file; the current definition stays the one clicked last.
    if (host_.reloadList)
        host_.reloadList();
    const bool make = mode_ == EditorMode::Make;
    dialogs().Message(this, QStringLiteral("Done"),
                      make ? QStringLiteral("Definition Saved") : QStringLiteral("Definition Modified And Saved"),
                      Icon::None, Buttons::Ok);
    if (!make)
        cmdreset->setVisible(false);
    changed_ = false;
    close();
}

void frmGendef::cmdxit_Click()
{
    close();
}

bool frmGendef::MayDropChanges()
{
    // A new definition is long work too: measured entries are never dropped unasked.
    const bool unsaved = mode_ == EditorMode::Modify ? !cmdreset->isHidden() : changed_;
    return !unsaved ||
           dialogs().Message(this, QStringLiteral("Warning"), QStringLiteral("You Haven't Saved Your Changes"),
                             Icon::None, Buttons::DiscardKeep) == Answer::Ok;
}

void frmGendef::closeEvent(QCloseEvent* event)
{
    // The close button, the close box and Exit all ask before unsaved changes are lost.
    if (!MayDropChanges()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace bm::app
