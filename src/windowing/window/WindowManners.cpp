#include "windowing/window/WindowManners.h"

#include <algorithm>

#include <optional>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

#include "windowing/Mnemonics.h"
#include "windowing/ScreenFit.h"

namespace bm::app {

namespace {

// Enter and Return on a focused push button press it, as Space does.
class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled() || !button->isVisible())
            return false;
        button->animateClick();
        return true;
    }
};

// Escape that no control of the window took for itself closes the window. A key press, not a
// shortcut: while a print job or a check runs, its pump takes every key press first and hears
// Escape as the stop it is meant to be; a shortcut would be matched before the pump saw the key.
class EscapeClosesWindow : public QObject {
public:
    explicit EscapeClosesWindow(QWidget* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Escape || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        window_->close();
        return true;
    }

private:
    QWidget* window_;
};

// The captions that take an Alt key: buttons, check boxes, options and the labels of entries.
struct Captioned {
    QWidget* widget;
    QString text;
};

std::vector<Captioned> CaptionsOf(QWidget* window)
{
    std::vector<Captioned> out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->text().isEmpty())
            out.push_back({w, button->text()});
        else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy() && !label->text().isEmpty())
            out.push_back({w, label->text()});
    }
    return out;
}

}  // namespace

void HoldsOwnAltKeys(QWidget* panel)
{
    panel->setProperty("bmOwnAltKeys", true);
}

QWidget* AltKeyPanelOf(const QWidget* widget)
{
    for (QWidget* w = widget ? widget->parentWidget() : nullptr; w && !w->isWindow(); w = w->parentWidget())
        if (w->property("bmOwnAltKeys").toBool())
            return w;
    return nullptr;
}

namespace {

void SetCaption(QWidget* widget, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
}

// Marks the captions of `group` after those of `taken`, whose keys stay theirs.
void Mark(const std::vector<Captioned>& taken, std::vector<Captioned>& group)
{
    std::vector<std::string> texts;
    for (const Captioned& c : taken)
        texts.push_back(c.text.toStdString());
    for (const Captioned& c : group)
        texts.push_back(c.text.toStdString());
    const std::vector<std::string> marked = WithMnemonics(texts);
    for (std::size_t i = 0; i < group.size(); ++i)
        group[i].text = QString::fromStdString(marked[taken.size() + i]);
}

}  // namespace

void GiveMnemonics(QWidget* window)
{
    std::vector<Captioned> own;
    std::vector<std::pair<QWidget*, std::vector<Captioned>>> panels;
    for (const Captioned& c : CaptionsOf(window)) {
        QWidget* panel = AltKeyPanelOf(c.widget);
        if (!panel) {
            own.push_back(c);
            continue;
        }
        auto at = std::find_if(panels.begin(), panels.end(), [panel](const auto& p) { return p.first == panel; });
        if (at == panels.end())
            at = panels.insert(panels.end(), {panel, {}});
        at->second.push_back(c);
    }
    Mark({}, own);
    std::vector<Captioned> everyKey = own;
    for (auto& [panel, captions] : panels) {
        // The keys the window leaves free first; then the panel's own, shared with the window.
        Mark(everyKey, captions);
        std::vector<Captioned> keyed, without;
        for (const Captioned& c : captions)
            (MnemonicOf(c.text.toStdString()) ? keyed : without).push_back(c);
        Mark(keyed, without);
        captions = keyed;
        captions.insert(captions.end(), without.begin(), without.end());
        everyKey.insert(everyKey.end(), captions.begin(), captions.end());
    }
    for (const Captioned& c : everyKey) {
        const QString now = qobject_cast<QAbstractButton*>(c.widget) ? qobject_cast<QAbstractButton*>(c.widget)->text()
                                                                     : qobject_cast<QLabel*>(c.widget)->text();
        if (now != c.text)
            SetCaption(c.widget, c.text);
    }
}

namespace {
std::function<void(QWidget*)>& HelpKey()
{
    static std::function<void(QWidget*)> open;
    return open;
}
}  // namespace

void SetHelpKey(std::function<void(QWidget*)> open)
{
    HelpKey() = std::move(open);
}

void UseWindowKeys(QWidget* window, EscapeCloses escape)
{
    GiveMnemonics(window);
    if (qobject_cast<QDialog*>(window)) {
        auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
        f1->setObjectName(QStringLiteral("shortcutF1"));
        QObject::connect(f1, &QShortcut::activated, window, [window] {
            if (HelpKey())
                HelpKey()(window);
        });
    }
    auto* enter = new EnterPresses(window);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->installEventFilter(enter);
    if (escape == EscapeCloses::Yes)
        window->installEventFilter(new EscapeClosesWindow(window));
}

namespace {
std::optional<QRect> g_area;
}  // namespace

void OverrideAvailableArea(const QRect* area)
{
    g_area = area ? std::optional<QRect>(*area) : std::nullopt;
}

QRect AvailableFor(const QWidget* window)
{
    if (g_area)
        return *g_area;
    const QWidget* active = QApplication::activeWindow();
    const QScreen* screen = active && active != window ? active->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, kSmallestWindowWidth, kSmallestWindowHeight);
}

void FitToScreen(QWidget* window)
{
    FitToScreen(window, AvailableFor(window));
}

void FitToScreen(QWidget* window, const QRect& available)
{
    if (QLayout* layout = window->layout())
        layout->activate();
    const QSize wanted = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
    // A shown window knows its frame; before that, room for a usual title bar and border.
    FrameMargins frame{6, 34, 6, 6};
    if (window->isVisible()) {
        const QRect outer = window->frameGeometry(), inner = window->geometry();
        frame = {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                 outer.bottom() - inner.bottom()};
    }
    const QWidget* active = QApplication::activeWindow();
    Box centre;
    const bool onActive = active && active != window && available.intersects(active->frameGeometry());
    if (onActive) {
        const QRect r = active->frameGeometry();
        centre = {r.x(), r.y(), r.width(), r.height()};
    }
    const Box area{available.x(), available.y(), available.width(), available.height()};
    const Box fit = FitOnScreen(area, wanted.width(), wanted.height(), minimum.width(), minimum.height(), frame,
                                onActive ? &centre : nullptr);
    window->resize(fit.width, fit.height);
    window->move(fit.x - frame.left, fit.y - frame.top);
}

}  // namespace bm::app
