#include "windowing/window/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

// The one place where the program's message boxes and file dialogs meet Qt.

namespace bm::app {

namespace {

QMessageBox::Icon ToQt(Icon icon)
{
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

class QtDialogs : public Dialogs {
public:
    Answer Message(QWidget* parent, const QString& title, const QString& text, Icon icon, Buttons buttons) override
    {
        QMessageBox box(ToQt(icon), title, text, QMessageBox::NoButton, parent);
        QAbstractButton* replace = nullptr;
        // Where an answer would lose work, Enter keeps it.
        switch (buttons) {
        case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Cancel);
            break;
        case Buttons::ReplaceCancel:
            replace = box.addButton(QStringLiteral("Replace"), QMessageBox::AcceptRole);
            box.setDefaultButton(box.addButton(QMessageBox::Cancel));
            break;
        case Buttons::DiscardKeep: {
            replace = box.addButton(QStringLiteral("&Discard Changes"), QMessageBox::DestructiveRole);
            QPushButton* keep = box.addButton(QStringLiteral("&Keep Editing"), QMessageBox::RejectRole);
            box.setDefaultButton(keep);
            box.setEscapeButton(keep);
            break;
        }
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case Buttons::YesNoDefaultNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::No);
            break;
        }
        const int chosen = box.exec();
        if (replace)
            return box.clickedButton() == replace ? Answer::Ok : Answer::Cancel;
        switch (chosen) {
        case QMessageBox::Cancel: return Answer::Cancel;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: break;
        }
        return Answer::Ok;
    }

    QString OpenFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder) override
    {
        // Only existing files in existing folders can be chosen; the working folder stays.
        return QFileDialog::getOpenFileName(parent, title, folder, filter);
    }

    QString SaveFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder,
                     const QString& defaultSuffix) override
    {
        QFileDialog dialog(parent, title, folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

QtDialogs g_qtDialogs;
Dialogs* g_dialogs = &g_qtDialogs;

}  // namespace

Dialogs& dialogs()
{
    return *g_dialogs;
}

void SetDialogs(Dialogs* replacement)
{
    g_dialogs = replacement ? replacement : &g_qtDialogs;
}

}  // namespace bm::app
