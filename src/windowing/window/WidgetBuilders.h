#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace bm::app {

// The few kinds of control every window builds, made one way: found by their object name, with
// their tool-tip, and text boxes with the entry helpers.

// Any widget given its object name and, when there is one, its tool-tip.
template <typename W>
W* Named(W* widget, const QString& name, const QString& tip = {})
{
    widget->setObjectName(name);
    if (!tip.isEmpty())
        widget->setToolTip(tip);
    return widget;
}
template <typename W>
W* Named(W* widget, const QString& name, const char* tip)
{
    return Named(widget, name, QString::fromLatin1(tip));
}
template <typename W>
W* Named(W* widget, const char* name, const char* tip = nullptr)
{
    return Named(widget, QString::fromLatin1(name), QString::fromLatin1(tip));
}

// A push button that is never the window's default button, so Enter presses only the button
// that has the focus.
QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption, const QString& tip = {});
QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption, const char* tip = nullptr);

QLabel* NamedLabel(QWidget* parent, const QString& name, const QString& text);

// A bold label over a group of entries.
QLabel* Heading(QWidget* parent, const QString& name, const QString& text, bool wrap = false);

// A text box with SelectText and CRToTab; `width` > 0 fixes its width in pixels, < 0 caps it at
// -width.
QLineEdit* NamedEntry(QWidget* parent, const QString& name, const QString& tip, int width = 0);

// The caption of an entry: its Alt key moves to the entry, and it shows the entry's tool-tip.
QLabel* Caption(QWidget* parent, const QString& text, QWidget* buddy, const QString& name = {});

}  // namespace bm::app
