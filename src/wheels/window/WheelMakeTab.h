#pragma once

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
    // The last wheel made and checked, on the player's numbers.
    const std::vector<std::vector<int>>& plays() const { return plays_; }
    void Make();
    // The pick and the game shown follow the current definition.
    void ShowGame();

private:
    void Save();
    void Refuse(const QString& text);

    DefinitionChoice& choice_;
    int pumpIntervalMs_;
    std::vector<std::vector<int>> plays_;
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
