#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "definitions/editor/frmGendef.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace bmtest {

// The bytes of the sample LO649 definition: 6 from 49, seven rows, bonus, horizontal.
extern const char* const kLO649;

// Fills an editor's entries with the sample definition directly, under a two-letter name.
void FillSample(QWidget& editor, const QString& name = QStringLiteral("ab"));

// An editor on a program folder of its own, with scripted dialogs and a host that counts the
// list refreshes.
class EditorRig {
public:
    EditorRig();
    ~EditorRig();

    ScriptedDialogs dialogs;
    int reloads = 0;

    std::filesystem::path def(const std::string& name) const { return home_ / "Defs" / (name + ".def"); }
    void AddDefinition(const std::string& name, const std::string& bytes) const { WriteBytes(def(name), bytes); }
    int DefinitionCount() const;
    bm::app::GendefHost host();

    // A fresh editor in Make mode, shown and active.
    bm::app::frmGendef& Make();
    // A fresh editor in Modify mode with the listed definition; fails the test when it does not load.
    bm::app::frmGendef& Modify(const std::string& listedName);
    bm::app::frmGendef& editor() { return *editor_; }

    QLineEdit* Fn() const { return Child<QLineEdit>("txtFn"); }
    QLineEdit* M(int i) const { return Child<QLineEdit>("txtM" + std::to_string(i)); }
    QLineEdit* R(int i) const { return Child<QLineEdit>("txtR" + std::to_string(i)); }
    QCheckBox* Bon(int i) const { return Child<QCheckBox>("chkBon" + std::to_string(i)); }
    QRadioButton* Lay(int i) const { return Child<QRadioButton>("optLay" + std::to_string(i)); }
    QPushButton* Save() const { return Child<QPushButton>("cmdreset"); }
    QPushButton* Close() const { return Child<QPushButton>("cmdxit"); }

    // Clicks into the box (which selects its text) and types over it, as a user would.
    void Retype(QLineEdit* box, const QString& text);
    void FillSample() { bmtest::FillSample(*editor_); }
    QString FocusName() const;

    template <typename T>
    T* Child(const std::string& name) const
    {
        return editor_->findChild<T*>(QString::fromStdString(name));
    }

private:
    bm::app::frmGendef& Show(std::unique_ptr<bm::app::frmGendef> editor);

    TempDir home_;
    std::unique_ptr<bm::app::frmGendef> editor_;
};

}  // namespace bmtest
