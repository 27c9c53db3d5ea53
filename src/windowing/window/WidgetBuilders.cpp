#include "windowing/window/WidgetBuilders.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "windowing/window/EntryHelpers.h"

namespace bm::app {

QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption, const QString& tip)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption, const char* tip)
{
    return NamedButton(parent, name, QString::fromUtf8(caption), QString::fromUtf8(tip));
}

QLabel* NamedLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QLabel* Heading(QWidget* parent, const QString& name, const QString& text, bool wrap)
{
    QLabel* l = NamedLabel(parent, name, text);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setWordWrap(wrap);
    return l;
}

QLineEdit* NamedEntry(QWidget* parent, const QString& name, const QString& tip, int width)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    if (width > 0)
        box->setFixedWidth(width);
    else if (width < 0)
        box->setMaximumWidth(-width);
    UseEntryHelpers(box);
    return box;
}

QLabel* Caption(QWidget* parent, const QString& text, QWidget* buddy, const QString& name)
{
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    l->setBuddy(buddy);
    l->setToolTip(buddy->toolTip());
    return l;
}

}  // namespace bm::app
