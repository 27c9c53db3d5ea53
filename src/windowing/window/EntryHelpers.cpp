#include "windowing/window/EntryHelpers.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>

namespace bm::app {

namespace {

class EntryFilter : public QObject {
public:
    explicit EntryFilter(QLineEdit* box) : QObject(box), box_(box) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != box_)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress: return CRToTab(box_, static_cast<const QKeyEvent&>(*event));
        case QEvent::FocusIn:
            SelectText(box_);
            // A click that gives the focus would place the cursor and drop the selection
            // again; the press that follows it is not passed on.
            swallowPress_ = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
            return false;
        case QEvent::FocusOut: swallowPress_ = false; return false;
        case QEvent::MouseButtonPress:
            if (swallowPress_) {
                swallowPress_ = false;
                return true;
            }
            return false;
        default: return false;
        }
    }

private:
    QLineEdit* box_;
    bool swallowPress_ = false;
};

}  // namespace

bool CRToTab(QWidget* box, const QKeyEvent& key)
{
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter)
        return false;
    // The widget's own Tab handling moves the focus along the tab order, as a typed Tab would.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &tab);
    return true;
}

void SelectText(QLineEdit* box)
{
    box->selectAll();
}

void UseEntryHelpers(QLineEdit* box)
{
    box->installEventFilter(new EntryFilter(box));
}

}  // namespace bm::app
