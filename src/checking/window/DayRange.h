#pragma once

#include <functional>
#include <string>

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace bm::app {

// "Draws From [..] To [..] Check Again": the days of the draws a history checks, written
// YYYY-MM-DD as --from and --to take them (empty: no limit). Hidden until a window that can
// check again offers it.
class DayRange : public QWidget {
public:
    using Recheck = std::function<void(const std::string& from, const std::string& to)>;

    explicit DayRange(QWidget* parent);
    void Offer(const std::string& from, const std::string& to, Recheck recheck);
    // Reads both boxes; a day not written YYYY-MM-DD, or a range that runs backwards, is refused
    // naming its box, which gets the focus. Then checks again with the days read.
    void CheckAgain();

private:
    Recheck recheck_;
    QLineEdit* txtFrom = nullptr;
    QLineEdit* txtTo = nullptr;
    QPushButton* cmdRecheck = nullptr;
};

}  // namespace bm::app
