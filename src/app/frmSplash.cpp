#include "app/frmSplash.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include "common/Version.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

// One panel of a 6-from-49 slip, seven by seven boxes, with one play marked.
void DrawPanel(QPainter& p, QPointF origin, const std::initializer_list<int>& marked)
{
    constexpr double box = 14, pitch = 19;
    QFont numbers(QStringLiteral("Arial"));
    numbers.setPixelSize(8);
    p.setFont(numbers);
    for (int n = 1; n <= 49; ++n) {
        const int row = (n - 1) / 7, column = (n - 1) % 7;
        const QRectF r(origin.x() + column * pitch, origin.y() + row * pitch, box, box);
        p.setPen(QPen(QColor(200, 40, 40), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
        p.drawText(r, Qt::AlignCenter, QString::number(n));
        if (std::find(marked.begin(), marked.end(), n) != marked.end())
            p.fillRect(r.adjusted(2, 2, -2, -2), QColor(20, 20, 20));
    }
}

}  // namespace

QPixmap SplashPicture()
{
    QPixmap picture(frmSplash::kWidth, frmSplash::kHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, frmSplash::kHeight);
    sky.setColorAt(0, QColor(22, 58, 110));
    sky.setColorAt(1, QColor(8, 24, 52));
    p.fillRect(picture.rect(), sky);

    // The slip, slightly turned, as if lying on a desk.
    p.save();
    p.translate(96, 118);
    p.rotate(-4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(QRectF(6, 6, 330, 196), 6, 6);
    p.setBrush(QColor(252, 248, 236));
    p.drawRoundedRect(QRectF(0, 0, 330, 196), 6, 6);
    p.fillRect(QRectF(0, 0, 330, 22), QColor(200, 40, 40));
    DrawPanel(p, QPointF(20, 36), {3, 11, 19, 27, 35, 43});
    DrawPanel(p, QPointF(180, 36), {7, 14, 22, 30, 38, 49});
    p.restore();

    p.setPen(QColor(255, 255, 255));
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 24, frmSplash::kWidth, 60), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Brindlemark"));
    QFont tag(QStringLiteral("Arial"));
    tag.setPixelSize(15);
    p.setFont(tag);
    p.setPen(QColor(210, 222, 240));
    p.drawText(QRect(0, 78, frmSplash::kWidth, 24), Qt::AlignHCenter,
               QStringLiteral("Playslip printing and ticket checking"));
    return picture;
}

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(kWidth, kHeight);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgSplash"));
    picture->setPixmap(SplashPicture());
    picture->setGeometry(0, 0, kWidth, kHeight);

    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    QFont font(QStringLiteral("Arial"), 12);
    font.setBold(true);
    lblVersion->setFont(font);
    lblVersion->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblVersion->setGeometry(kWidth - 220, kHeight - 44, 200, 28);
    lblVersion->setText(QStringLiteral("Version ") + QString::fromStdString(VersionText()));

    FitToScreen(this);
}

}  // namespace bm::app
