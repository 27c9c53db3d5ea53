#include "support/ScriptedDialogs.h"

#include <algorithm>
#include <iterator>

namespace bmtest {

using bm::app::Answer;
using bm::app::Buttons;

ScriptedDialogs::ScriptedDialogs()
{
    bm::app::SetDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    bm::app::SetDialogs(nullptr);
}

std::vector<ScriptedDialogs::Shown> ScriptedDialogs::messages() const
{
    std::vector<Shown> out;
    std::copy_if(shown_.begin(), shown_.end(), std::back_inserter(out),
                 [](const Shown& s) { return s.kind == Kind::Message; });
    return out;
}

std::string ScriptedDialogs::Said() const
{
    QString said;
    for (const Shown& s : messages())
        said += (said.isEmpty() ? QString() : QStringLiteral("\n")) + s.title + QStringLiteral(": ") + s.text;
    return said.toStdString();
}

int ScriptedDialogs::unanswered() const
{
    return static_cast<int>(std::count_if(shown_.begin(), shown_.end(), [](const Shown& s) { return !s.answered; }));
}

Answer ScriptedDialogs::Message(QWidget*, const QString& title, const QString& text, bm::app::Icon icon,
                                Buttons buttons)
{
    Shown s{Kind::Message, title, text, icon, buttons, {}, {}, {}, true};
    if (hook_)
        hook_(s);
    // Unscripted: Ok for a plain box, else the cautious answer.
    s.answered = !answers_.empty() || buttons == Buttons::Ok;
    const Answer answer = !answers_.empty()                                                 ? answers_.front()
                          : buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo ? Answer::No
                          : buttons == Buttons::Ok                                          ? Answer::Ok
                                                                                            : Answer::Cancel;
    if (!answers_.empty())
        answers_.pop_front();
    shown_.push_back(s);
    return answer;
}

QString ScriptedDialogs::NextFile(Shown s)
{
    if (hook_)
        hook_(s);
    s.answered = !files_.empty();
    const QString file = s.answered ? files_.front() : QString();
    if (s.answered)
        files_.pop_front();
    shown_.push_back(s);
    return file;
}

QString ScriptedDialogs::OpenFile(QWidget*, const QString& title, const QString& filter, const QString& folder)
{
    return NextFile({Kind::Open, title, {}, bm::app::Icon::None, Buttons::Ok, filter, folder, {}, true});
}

QString ScriptedDialogs::SaveFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder,
                                  const QString& defaultSuffix)
{
    return NextFile(
        {Kind::Save, title, {}, bm::app::Icon::None, Buttons::Ok, filter, folder, defaultSuffix, true, parent});
}

}  // namespace bmtest
