#pragma once

#include <functional>
#include <vector>

#include "common/Result.h"
#include "printing/Spooler.h"

class QComboBox;
class QFormLayout;
class QLineEdit;
class QWidget;

namespace bm::app {

// The paper rows of Printer Setup: the size the sheets are laid out on (the printer's own, A4,
// Letter, Legal or a custom width x height such as the slip's own size) and the paper source
// the printer offers (tray, manual feed).
class PaperSetup {
public:
    PaperSetup(QWidget& dialog, const PaperChoice& current);

    void AddRows(QFormLayout& form);
    // The printer's own sources; the one chosen stays chosen while the printer offers it.
    void OfferSources(const std::vector<PaperSource>& sources);
    // What the rows say; a custom size that is not one is refused, naming the entry.
    Result<PaperChoice> Chosen() const;
    // True while the printer's own paper is used (no size of the job's own is chosen).
    bool PrintersOwnPaper() const;
    // Called whenever another paper size is chosen.
    void OnSizeChosen(std::function<void()> changed);

private:
    void ShowCustom();

    QComboBox* cboPaperSize;
    QLineEdit* txtPaperWidth;
    QLineEdit* txtPaperHeight;
    QWidget* fraCustom;
    QComboBox* cboPaperSource;
    std::string source_;
};

}  // namespace bm::app
