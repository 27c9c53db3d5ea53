#include "app/frmHelp.h"

#include <cmath>

#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QSvgRenderer>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "common/Version.h"
#include "wheels/WheelLibrary.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/WidgetBuilders.h"
#include "windowing/window/WindowManners.h"

// The manual lives in a static library, whose resources are linked only when asked for.
static bool LoadManual()
{
    Q_INIT_RESOURCE(manual);
    return true;
}

namespace bm::app {

namespace {

constexpr ManualPage kPages[] = {
    {"index.html", "Contents"},
    {"start.html", "Getting started"},
    {"folder.html", "The program folder"},
    {"measuring.html", "Measuring a slip"},
    {"calibrating.html", "Calibrating the offsets"},
    {"printing.html", "Printing playslips"},
    {"checking.html", "Checking tickets"},
    {"wheels.html", "Wheels"},
    {"command-line.html", "The command line"},
    {"troubleshooting.html", "Troubleshooting"},
};

QString ResourcePath(const QUrl& url)
{
    return QLatin1Char(':') + url.path();
}

// Drawings are SVG; they are rendered here at the screen's pixel density so that they stay
// sharp, and no image plug-in is needed.
class ManualBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override
    {
        if (type == QTextDocument::ImageResource && name.path().endsWith(QLatin1String(".svg"))) {
            QSvgRenderer svg(ResourcePath(name));
            if (!svg.isValid())
                return {};
            const qreal ratio = devicePixelRatioF();
            QImage image(svg.defaultSize() * ratio, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            svg.render(&painter);
            painter.end();
            image.setDevicePixelRatio(ratio);
            return image;
        }
        return QTextBrowser::loadResource(type, name);
    }
};

}  // namespace

std::span<const ManualPage> ManualPages()
{
    return kPages;
}

frmHelp::frmHelp(std::filesystem::path home, QWidget* parent) : QWidget(parent), home_(std::move(home))
{
    [[maybe_unused]] static const bool loaded = LoadManual();
    setWindowTitle(QStringLiteral("Brindlemark Help"));
    lstContents = new QListWidget(this);
    lstContents->setObjectName(QStringLiteral("lstContents"));
    for (const ManualPage& p : kPages) {
        auto* item = new QListWidgetItem(QString::fromUtf8(p.title), lstContents);
        item->setData(Qt::UserRole, QString::fromLatin1(p.file));
    }
    txtPage = new ManualBrowser(this);
    txtPage->setObjectName(QStringLiteral("txtPage"));
    txtPage->setOpenExternalLinks(true);
    cmdBack = NamedButton(this, "cmdBack", QStringLiteral("< Back"));
    cmdForward = NamedButton(this, "cmdForward", QStringLiteral("Forward >"));
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("Search the manual"));
    txtFind->setClearButtonEnabled(true);
    cmdFind = NamedButton(this, "cmdFind", QStringLiteral("Find"));
    lblFind = new QLabel(this);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    cmdAbout = NamedButton(this, "cmdAbout", QStringLiteral("About Brindlemark"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(cmdBack);
    bar->addWidget(cmdForward);
    bar->addSpacing(12);
    auto* findLabel = new QLabel(QStringLiteral("&Search"), this);
    findLabel->setObjectName(QStringLiteral("lblSearch"));
    findLabel->setBuddy(txtFind);
    bar->addWidget(findLabel);
    bar->addWidget(txtFind, 1);
    bar->addWidget(cmdFind);
    bar->addWidget(lblFind);
    bar->addStretch(0);
    bar->addWidget(cmdAbout);
    auto* split = new QSplitter(this);
    split->addWidget(lstContents);
    split->addWidget(txtPage);
    split->setStretchFactor(1, 1);
    split->setSizes({190, 810});
    auto* all = new QVBoxLayout(this);
    all->addLayout(bar);
    all->addWidget(split, 1);

    connect(cmdBack, &QPushButton::clicked, txtPage, &QTextBrowser::backward);
    connect(cmdForward, &QPushButton::clicked, txtPage, &QTextBrowser::forward);
    connect(txtPage, &QTextBrowser::backwardAvailable, cmdBack, &QPushButton::setEnabled);
    connect(txtPage, &QTextBrowser::forwardAvailable, cmdForward, &QPushButton::setEnabled);
    connect(txtPage, &QTextBrowser::sourceChanged, this,
            [this](const QUrl& url) { ShowContentsEntry(url.fileName()); });
    connect(lstContents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
    connect(lstContents, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
    const auto find = [this] { Find(txtFind->text()); };
    connect(cmdFind, &QPushButton::clicked, this, find);
    connect(txtFind, &QLineEdit::returnPressed, this, find);
    connect(cmdAbout, &QPushButton::clicked, this, &frmHelp::ShowAbout);

    ShowPage(QString::fromLatin1(kPages[0].file));
    UseWindowKeys(this);
    resize(1020, 760);
}

void frmHelp::ShowPage(const QString& file)
{
    const QUrl url(QLatin1String(kManualRoot) + file);
    if (txtPage->source() != url)
        txtPage->setSource(url);
}

QString frmHelp::page() const
{
    return txtPage->source().fileName();
}

void frmHelp::ShowContentsEntry(const QString& file)
{
    for (int row = 0; row < lstContents->count(); ++row) {
        if (lstContents->item(row)->data(Qt::UserRole).toString() == file) {
            const QSignalBlocker quiet(lstContents);
            lstContents->setCurrentRow(row);
        }
    }
}

bool frmHelp::Find(const QString& text)
{
    lblFind->clear();
    if (text.trimmed().isEmpty())
        return false;
    if (txtPage->find(text))
        return true;
    // Not further on this page: the next page that has it, from its top.
    const std::span<const ManualPage> pages = ManualPages();
    std::size_t here = 0;
    while (here < pages.size() && page() != QLatin1String(pages[here].file))
        ++here;
    for (std::size_t step = 1; step <= pages.size(); ++step) {
        const ManualPage& next = pages[(here + step) % pages.size()];
        QFile source(QStringLiteral(":/manual/") + QLatin1String(next.file));
        if (!source.open(QIODevice::ReadOnly))
            continue;
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(source.readAll()));
        if (!doc.toPlainText().contains(text, Qt::CaseInsensitive))
            continue;
        ShowPage(QLatin1String(next.file));
        txtPage->moveCursor(QTextCursor::Start);
        return txtPage->find(text);
    }
    lblFind->setText(QStringLiteral("\"%1\" is not in the manual").arg(text));
    return false;
}

void frmHelp::ShowAbout()
{
    dialogs().Message(this, QStringLiteral("About Brindlemark"),
                      QStringLiteral("Brindlemark %1\n\nFills in lottery playslips with an ordinary printer and "
                                     "checks tickets.\n\nThe wheel library's designs are from %2; each design "
                                     "file's first line credits its maker.\n\nProgram folder:\n%3")
                          .arg(QString::fromStdString(VersionText()), QString::fromLatin1(wheels::kLibraryCredit),
                               QString::fromStdString(home_.string())),
                      Icon::Information, Buttons::Ok);
}

}  // namespace bm::app
