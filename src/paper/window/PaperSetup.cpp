#include "paper/window/PaperSetup.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "common/Numbers.h"
#include "windowing/window/EntryHelpers.h"

namespace bm::app {

namespace {

enum SizeRow { kPrinters, kA4, kLetter, kLegal, kCustom };

QLineEdit* SideBox(QWidget* parent, const char* name, const QString& tip)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(tip);
    box->setMaximumWidth(70);
    UseEntryHelpers(box);
    return box;
}

}  // namespace

PaperSetup::PaperSetup(QWidget& dialog, const PaperChoice& current) : source_(current.source)
{
    cboPaperSize = new QComboBox(&dialog);
    cboPaperSize->setObjectName(QStringLiteral("cboPaperSize"));
    cboPaperSize->setToolTip(
        QStringLiteral("The Paper The Slips Are Laid Out On; Custom For A Printer With A Slip Slot"));
    cboPaperSize->addItems({QStringLiteral("As The Printer Is Set Up"), QStringLiteral("A4 (210 x 297 mm)"),
                            QStringLiteral("Letter (215.9 x 279.4 mm)"), QStringLiteral("Legal (215.9 x 355.6 mm)"),
                            QStringLiteral("Custom")});
    fraCustom = new QWidget(&dialog);
    fraCustom->setObjectName(QStringLiteral("fraCustomPaper"));
    txtPaperWidth = SideBox(fraCustom, "txtPaperWidth", QStringLiteral("Width Of The Paper In Millimetres"));
    txtPaperHeight = SideBox(fraCustom, "txtPaperHeight", QStringLiteral("Height Of The Paper In Millimetres"));
    // Each box named on the screen and for screen readers, not only by its tooltip.
    txtPaperWidth->setAccessibleName(QStringLiteral("Custom paper width in millimetres"));
    txtPaperHeight->setAccessibleName(QStringLiteral("Custom paper height in millimetres"));
    auto* width = new QLabel(QStringLiteral("Width"), fraCustom);
    width->setObjectName(QStringLiteral("lblPaperWidth"));
    width->setBuddy(txtPaperWidth);
    auto* height = new QLabel(QStringLiteral("Height"), fraCustom);
    height->setObjectName(QStringLiteral("lblPaperHeight"));
    height->setBuddy(txtPaperHeight);
    auto* row = new QHBoxLayout(fraCustom);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(width);
    row->addWidget(txtPaperWidth);
    row->addWidget(new QLabel(QStringLiteral("mm  x"), fraCustom));
    row->addWidget(height);
    row->addWidget(txtPaperHeight);
    row->addWidget(new QLabel(QStringLiteral("mm"), fraCustom));
    row->addStretch(1);

    int index = kPrinters;
    if (current.paper) {
        const std::string& name = current.paper->name;
        index = name == "A4" ? kA4 : name == "Letter" ? kLetter : name == "Legal" ? kLegal : kCustom;
        if (index == kCustom) {
            txtPaperWidth->setText(QString::fromStdString(ShortestText(current.paper->width)));
            txtPaperHeight->setText(QString::fromStdString(ShortestText(current.paper->height)));
        }
    }
    cboPaperSize->setCurrentIndex(index);
    QObject::connect(cboPaperSize, &QComboBox::currentIndexChanged, fraCustom, [this] { ShowCustom(); });
    ShowCustom();

    cboPaperSource = new QComboBox(&dialog);
    cboPaperSource->setObjectName(QStringLiteral("cboPaperSource"));
    cboPaperSource->setToolTip(QStringLiteral("Where The Printer Takes The Paper From: A Tray Or Manual Feed"));
    QObject::connect(cboPaperSource, &QComboBox::activated, cboPaperSource,
                     [this] { source_ = cboPaperSource->currentData().toString().toStdString(); });
}

void PaperSetup::AddRows(QFormLayout& form)
{
    auto* size = new QLabel(QStringLiteral("Paper &Size"));
    size->setBuddy(cboPaperSize);
    form.addRow(size, cboPaperSize);
    form.addRow(QString(), fraCustom);
    auto* source = new QLabel(QStringLiteral("Paper S&ource"));
    source->setBuddy(cboPaperSource);
    form.addRow(source, cboPaperSource);
}

void PaperSetup::OfferSources(const std::vector<PaperSource>& sources)
{
    cboPaperSource->clear();
    cboPaperSource->addItem(QStringLiteral("As The Printer Is Set Up"), QString());
    for (const PaperSource& s : sources) {
        cboPaperSource->addItem(QString::fromStdString(s.label), QString::fromStdString(s.keyword));
        if (s.keyword == source_)
            cboPaperSource->setCurrentIndex(cboPaperSource->count() - 1);
    }
    cboPaperSource->setEnabled(!sources.empty());
}

void PaperSetup::ShowCustom()
{
    const bool custom = cboPaperSize->currentIndex() == kCustom;
    txtPaperWidth->setEnabled(custom);
    txtPaperHeight->setEnabled(custom);
}

bool PaperSetup::PrintersOwnPaper() const
{
    return cboPaperSize->currentIndex() == kPrinters;
}

void PaperSetup::OnSizeChosen(std::function<void()> changed)
{
    QObject::connect(cboPaperSize, &QComboBox::currentIndexChanged, cboPaperSize,
                     [changed = std::move(changed)] { changed(); });
}

Result<PaperChoice> PaperSetup::Chosen() const
{
    PaperChoice choice;
    choice.source = cboPaperSource->currentData().toString().toStdString();
    switch (cboPaperSize->currentIndex()) {
    case kA4: choice.paper = A4Paper(); break;
    case kLetter: choice.paper = LetterPaper(); break;
    case kLegal: choice.paper = LegalPaper(); break;
    case kCustom: {
        const auto paper = ParsePaper(txtPaperWidth->text().trimmed().toStdString() + "x" +
                                          txtPaperHeight->text().trimmed().toStdString(),
                                      "The custom paper size");
        if (!paper)
            return paper.error();
        choice.paper = *paper;
        break;
    }
    default: break;
    }
    return choice;
}

}  // namespace bm::app
