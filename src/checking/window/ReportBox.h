#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <QListView>

namespace bm::app {

// The report box: a text shown line by line that only grows at its end until it is cleared.
// A text document would spend microseconds on every appended line, more than checking the
// play took; this keeps the text as it is and shows only the lines in view.
class ReportBox : public QListView {
public:
    explicit ReportBox(QWidget* parent = nullptr);
    ~ReportBox() override;

    // Lines end in "\n"; the text is kept exactly as given.
    void Append(std::string_view text);
    void Clear();
    const std::string& Text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Lines;
    Lines* lines_;
};

}  // namespace bm::app
