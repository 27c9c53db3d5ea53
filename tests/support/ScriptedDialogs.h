#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QString>

#include "windowing/window/Dialogs.h"

namespace bmtest {

// Answers the program's message boxes and file dialogs from a script, so a GUI test never
// waits on a modal box. Installs itself for its lifetime. Every box and dialog shown is
// recorded; one shown without a scripted answer is recorded as unanswered and gets the
// cautious answer (Cancel, No, or no file).
class ScriptedDialogs : public bm::app::Dialogs {
public:
    enum class Kind { Message, Open, Save };
    struct Shown {
        Kind kind = Kind::Message;
        QString title;
        QString text;  // message text; empty for file dialogs
        bm::app::Icon icon = bm::app::Icon::None;
        bm::app::Buttons buttons = bm::app::Buttons::Ok;
        QString filter, folder, suffix;  // file dialogs
        bool answered = true;
        const QWidget* parent = nullptr;  // the window it was shown over
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // The answer to the next message box.
    void QueueAnswer(bm::app::Answer answer) { answers_.push_back(answer); }
    // The choice of the next file dialog; an empty text cancels it.
    void QueueFile(const QString& path) { files_.push_back(path); }
    void QueueFile(const std::filesystem::path& path) { QueueFile(QString::fromStdString(path.string())); }
    // Runs whenever a box or dialog is shown, before it is answered (e.g. to look at a window).
    void OnShown(std::function<void(const Shown&)> hook) { hook_ = std::move(hook); }

    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<Shown> messages() const;
    // The message boxes shown, one "Title: text" line each.
    std::string Said() const;
    int unanswered() const;
    void Clear() { shown_.clear(); }

    bm::app::Answer Message(QWidget* parent, const QString& title, const QString& text, bm::app::Icon icon,
                            bm::app::Buttons buttons) override;
    QString OpenFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder) override;
    QString SaveFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder,
                     const QString& defaultSuffix) override;

private:
    QString NextFile(Shown s);

    std::deque<bm::app::Answer> answers_;
    std::deque<QString> files_;
    std::vector<Shown> shown_;
    std::function<void(const Shown&)> hook_;
};

}  // namespace bmtest
