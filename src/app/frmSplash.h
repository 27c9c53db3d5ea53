#pragma once

#include <QWidget>

class QLabel;

namespace bm::app {

// The start-up picture with the program's version, shown for a moment before the main window.
class frmSplash : public QWidget {
public:
    static constexpr int kWidth = 508;
    static constexpr int kHeight = 402;

    explicit frmSplash(QWidget* parent = nullptr);

private:
    QLabel* lblVersion = nullptr;
};

// The splash picture: a playslip with marked boxes and the program's name.
QPixmap SplashPicture();

}  // namespace bm::app
