#include "checking/window/DayRange.h"

#include <optional>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "checking/DrawHistory.h"
#include "windowing/window/Dialogs.h"

namespace bm::app {

DayRange::DayRange(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fraRange"));
    const auto day = [this](const char* name, const QString& accessible) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
        box->setToolTip(QStringLiteral("A day written YYYY-MM-DD; empty: no limit"));
        box->setAccessibleName(accessible);
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 24);
        return box;
    };
    txtFrom = day("txtFrom", QStringLiteral("Draws from"));
    txtTo = day("txtTo", QStringLiteral("Draws to"));
    auto* fromLabel = new QLabel(QStringLiteral("Draws &From"), this);
    fromLabel->setBuddy(txtFrom);
    auto* toLabel = new QLabel(QStringLiteral("&To"), this);
    toLabel->setBuddy(txtTo);
    // Never squeezed below their words by a narrow window; a space more, since a short word's last
    // glyph may draw past its advance ("To" lost its "o").
    for (QLabel* label : {fromLabel, toLabel})
        label->setMinimumWidth(label->sizeHint().width() + label->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    cmdRecheck = new QPushButton(QStringLiteral("Check &Again"), this);
    cmdRecheck->setObjectName(QStringLiteral("cmdRecheck"));
    cmdRecheck->setToolTip(QStringLiteral("Check the wheel again against the draws of these days only"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(fromLabel);
    row->addWidget(txtFrom);
    row->addWidget(toLabel);
    row->addWidget(txtTo);
    row->addWidget(cmdRecheck);
    row->addStretch(1);
    connect(cmdRecheck, &QPushButton::clicked, this, [this] { CheckAgain(); });
    connect(txtFrom, &QLineEdit::returnPressed, this, [this] { CheckAgain(); });
    connect(txtTo, &QLineEdit::returnPressed, this, [this] { CheckAgain(); });
    hide();
}

void DayRange::Offer(const std::string& from, const std::string& to, Recheck recheck)
{
    recheck_ = std::move(recheck);
    txtFrom->setText(QString::fromStdString(from));
    txtTo->setText(QString::fromStdString(to));
    setVisible(static_cast<bool>(recheck_));
}

void DayRange::CheckAgain()
{
    if (!recheck_)
        return;
    std::string days[2];
    QLineEdit* boxes[2] = {txtFrom, txtTo};
    const char* names[2] = {"Draws From", "To"};
    for (int i = 0; i < 2; ++i) {
        const std::string text = boxes[i]->text().trimmed().toStdString();
        if (text.empty())
            continue;
        // Written as --from and --to take it, so that the window and the command line agree.
        const bool iso = text.size() == 10 && text[4] == '-' && text[7] == '-';
        const auto read = iso ? ReadDrawDate(text) : std::nullopt;
        if (!read) {
            dialogs().Message(window(), QStringLiteral("Go Back"),
                              QStringLiteral("%1: \"%2\" is not a day written YYYY-MM-DD.")
                                  .arg(QLatin1String(names[i]), QString::fromStdString(text)),
                              Icon::Error, Buttons::Ok);
            boxes[i]->setFocus(Qt::OtherFocusReason);
            return;
        }
        days[i] = *read;
    }
    if (!days[0].empty() && !days[1].empty() && days[0] > days[1]) {
        dialogs().Message(window(), QStringLiteral("Go Back"),
                          QStringLiteral("Draws From %1 is after To %2: no draw lies between them.")
                              .arg(QString::fromStdString(days[0]), QString::fromStdString(days[1])),
                          Icon::Error, Buttons::Ok);
        txtFrom->setFocus(Qt::OtherFocusReason);
        return;
    }
    recheck_(days[0], days[1]);
}

}  // namespace bm::app
