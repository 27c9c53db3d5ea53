#include "definitions/editor/EditorRig.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"

namespace bmtest {

const char* const kLO649 =
    "49\r\n6\r\n10\r\n190\r\n82\r\n12\r\n2\r\n7\r\n5\r\n15\r\n7\r\n3\r\n2\r\n35\r\n4.2\r\n45\r\n4.5\r\n"
    "1\r\n8\r\n15\r\n22\r\n29\r\n36\r\n43\r\n 1 \r\n 0 \r\n 1 \r\n";

EditorRig::EditorRig()
{
    home_.makeProgramFolder();
}

EditorRig::~EditorRig() = default;

int EditorRig::DefinitionCount() const
{
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(home_ / "Defs"))
        ++n;
    return n;
}

bm::app::GendefHost EditorRig::host()
{
    return {bm::ProgramFolder(home_.path()), [this] { ++reloads; }};
}

bm::app::frmGendef& EditorRig::Show(std::unique_ptr<bm::app::frmGendef> editor)
{
    editor_ = std::move(editor);
    editor_->show();
    QApplication::setActiveWindow(editor_.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(editor_.get(), kHangLimitMs));
    return *editor_;
}

bm::app::frmGendef& EditorRig::Make()
{
    return Show(std::make_unique<bm::app::frmGendef>(host()));
}

bm::app::frmGendef& EditorRig::Modify(const std::string& listedName)
{
    auto editor = std::make_unique<bm::app::frmGendef>(host());
    EXPECT_TRUE(editor->LoadDefinition(listedName)) << listedName;
    return Show(std::move(editor));
}

void EditorRig::Retype(QLineEdit* box, const QString& text)
{
    // A click into the box that has the focus only moves the cursor.
    if (box->hasFocus())
        Close()->setFocus();
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->selectedText(), box->text()) << box->objectName().toStdString();
    QTest::keyClicks(box, text);
}

void FillSample(QWidget& editor, const QString& name)
{
    const char* fields[] = {"49", "6", "10", "190", "82", "12",  "2",  "7",  "5",
                            "15", "7", "3",  "2",   "35", "4.2", "45", "4.5"};
    const auto box = [&](const QString& n) { return editor.findChild<QLineEdit*>(n); };
    box(QStringLiteral("txtFn"))->setText(name);
    for (int i = 0; i < bm::kFieldCount; ++i)
        box(QStringLiteral("txtM%1").arg(i))->setText(QString::fromLatin1(fields[i]));
    for (int r = 0; r < 7; ++r)
        box(QStringLiteral("txtR%1").arg(r))->setText(QString::number(1 + 7 * r));
    editor.findChild<QCheckBox*>(QStringLiteral("chkBon0"))->setChecked(true);
}

QString EditorRig::FocusName() const
{
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

}  // namespace bmtest
