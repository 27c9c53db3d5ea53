#pragma once

#include <filesystem>
#include <span>

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace bm::app {

struct ManualPage {
    const char* file;   // "measuring.html"
    const char* title;  // as in the contents
};
// The manual's pages in the order of its contents.
std::span<const ManualPage> ManualPages();
// The manual is built into the program; its pages are found here.
inline constexpr const char* kManualRoot = "qrc:/manual/";

// The manual in a window: contents, back and forward, search, and the About box.
class frmHelp : public QWidget {
public:
    explicit frmHelp(std::filesystem::path home, QWidget* parent = nullptr);

    void ShowPage(const QString& file);
    // The file name of the page shown ("printing.html").
    QString page() const;
    // Finds `text` from the cursor on, then in the following pages; false when no page has it.
    bool Find(const QString& text);
    void ShowAbout();

private:
    void ShowContentsEntry(const QString& file);

    std::filesystem::path home_;
    QListWidget* lstContents = nullptr;
    QTextBrowser* txtPage = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdForward = nullptr;
    QLineEdit* txtFind = nullptr;
    QPushButton* cmdFind = nullptr;
    QLabel* lblFind = nullptr;
    QPushButton* cmdAbout = nullptr;
};

}  // namespace bm::app
