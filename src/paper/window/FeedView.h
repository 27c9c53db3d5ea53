#pragma once

#include <QWidget>

#include "paper/Feed.h"
#include "paper/Paper.h"
#include "slip/BoxGeometry.h"

namespace bm::app {

// The feed drawn: the printer's paper upright with the edge that goes in first at the top, the
// slip where the job places it (turned when the page is landscape) with its top edge and its
// printed side marked, and the advice in one line under it.
class FeedView : public QWidget {
public:
    explicit FeedView(QWidget* parent = nullptr);

    // `slip`: the slip's edge on the sheet, in millimetres from its top-left corner.
    void SetFeed(const Paper& paper, bool horizontal, const BoxRect& slip);
    const FeedAdvice& advice() const { return advice_; }

    QSize sizeHint() const override { return {220, 300}; }
    QSize minimumSizeHint() const override { return {140, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Paper paper_;
    BoxRect slip_{};
    FeedAdvice advice_;
};

}  // namespace bm::app
