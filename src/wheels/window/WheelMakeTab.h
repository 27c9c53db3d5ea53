#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include <QWidget>

#include "definitions/DefinitionChoice.h"
#include "wheels/CoveringBounds.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace bm::app {

// The Wheels window's "Make" tab: a wheel built for the player's numbers (or a count of them),
// plays of a pick (the current definition's by default) and a guarantee "T if M", within a time
// limit; the size beside its lower bound and the best published size; saved into the wheel folder.
class WheelMakeTab : public QWidget {
public:
    WheelMakeTab(DefinitionChoice& choice, int pumpIntervalMs, QWidget* parent);
    ~WheelMakeTab() override;

    bool running() const { return running_; }
    // The last wheel made and checked, on the player's numbers, with the second numbers given
    // by `finish`.
    const std::vector<std::vector<int>>& plays() const { return plays_; }
    void Make();
    // The pick and the game shown follow the current definition.
    void ShowGame();
    // Gives the plays made what they need beyond the main numbers (a second pool's numbers),
    // or says why it cannot; applied to each wheel made and again by Refinish.
    std::function<Result<std::vector<std::vector<int>>>(const std::vector<std::vector<int>>&)> finish;
    // The wheel made last, finished again (the second numbers changed); a fault is shown.
    void Refinish();
    // Told whenever plays() changes, so the window's Print and Preview follow it.
    std::function<void()> playsChanged;
    // Saves the plays (a file dialog); the file written, or empty.
    std::filesystem::path Save();
    // Where the plays shown were saved; empty while they are not.
    const std::filesystem::path& saved() const { return saved_; }

    // What was typed and set, kept while the window is closed.
    struct Entries {
        QString numbers;
        int pick = 0, match = 0, ifDrawn = 0, seconds = 0;
    };
    Entries entries() const;
    void Restore(const Entries& entries);

private:
    void ShowPlays();
    void FinishPlays();
    void Refuse(const QString& text);

    DefinitionChoice& choice_;
    int pumpIntervalMs_;
    std::vector<std::vector<int>> made_;   // on the player's numbers, main numbers only
    std::vector<std::vector<int>> plays_;  // made_, finished
    QString madeText_;                     // what is said of made_, shown again once it can be finished
    std::filesystem::path saved_;
    bool running_ = false;

    QLabel* lblMakeGame = nullptr;
    QLineEdit* txtMakeNumbers = nullptr;
    QSpinBox* spnPick = nullptr;
    QSpinBox* spnMatch = nullptr;
    QSpinBox* spnIf = nullptr;
    QSpinBox* spnSeconds = nullptr;
    QPushButton* cmdMake = nullptr;
    QProgressBar* prgMake = nullptr;
    QLabel* lblMakeStatus = nullptr;
    QLabel* lblMakeResult = nullptr;
    QPlainTextEdit* txtMadePlays = nullptr;
    QPushButton* cmdSaveMade = nullptr;
};

}  // namespace bm::app
