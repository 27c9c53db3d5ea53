#include "windowing/window/BusyCursor.h"

#include <QApplication>
#include <QLocale>

namespace bm::app {

NumberSeparators UiSeparators()
{
    const QLocale locale;
    const bool groups = !(locale.numberOptions() & QLocale::OmitGroupSeparator) && locale.language() != QLocale::C;
    return SeparatorsOf(locale.groupSeparator().toStdString(), locale.decimalPoint().toStdString(), groups);
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void BusyCursor::Release()
{
    if (on_)
        QApplication::restoreOverrideCursor();
    on_ = false;
}

}  // namespace bm::app
