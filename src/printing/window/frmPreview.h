#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "printing/PrintJob.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;

namespace bm::app {

class SlipView;

// What the preview hands back to the main window: print or save the slips asked for ("" for all,
// "N-" or "N-M") through the same job as Print Playslips, reading every file afresh.
struct PreviewHost {
    std::function<void(const std::filesystem::path& wheel, const std::string& slips)> print;
    std::function<void(const std::filesystem::path& wheel, const std::string& slips)> savePdf;
};

// A job before paper: slip by slip, drawn to scale on its sheet by the job's own code, with the
// plays of the slip and their lines. Only the shown slip is drawn and kept.
class frmPreview : public QWidget {
public:
    static constexpr const char* kName = "frmPreview";

    frmPreview(std::unique_ptr<PreparedJob> job, PreviewHost host, QWidget* parent = nullptr);
    ~frmPreview() override;

    void ShowSlip(long long slip);
    // The job prepared again after the definition or the offsets changed: the same slip is shown
    // as it would now print. A job that can no longer print shows why, and offers nothing to print.
    void Replace(std::unique_ptr<PreparedJob> job);
    void ShowRefusal(const std::string& message);
    const std::filesystem::path& wheel() const { return job_->wheel; }
    long long slip() const { return slip_; }
    const PreparedJob& job() const { return *job_; }
    // The slips Print and Save PDF take: "" for all of them, "N-" or "N-M".
    std::string ChosenSlips() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildUi();
    void ShowTitle();
    // Go To Slip: a number beyond the job shows the last slip and says so.
    void GoTo(long long slip);
    void Zoom(bool fit);

    std::unique_ptr<PreparedJob> job_;
    PreviewHost host_;
    long long slip_ = 0;
    std::string refusal_;

    QLabel* lblDefinition = nullptr;
    QLabel* lblSlip = nullptr;
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrev = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;
    QSpinBox* spnSlip = nullptr;
    QLabel* lblGoTo = nullptr;
    QPushButton* cmdFit = nullptr;
    QPushButton* cmdFull = nullptr;
    QScrollArea* scrSlip = nullptr;
    SlipView* picSlip = nullptr;
    QListWidget* lstPlays = nullptr;
    QRadioButton* optAll = nullptr;
    QRadioButton* optFrom = nullptr;
    QRadioButton* optRange = nullptr;
    QSpinBox* spnFrom = nullptr;
    QSpinBox* spnTo = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSavePdf = nullptr;
    QPushButton* cmdClose = nullptr;
};

}  // namespace bm::app
