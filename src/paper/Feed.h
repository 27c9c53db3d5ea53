#pragma once

#include <string>

#include "paper/Paper.h"

namespace bm {

enum class SlipEdge { Top, Right, Bottom, Left };

// How a slip goes into the printer, worked out from the page the job sends: a portrait page
// prints top edge first; a landscape page arrives turned on the printer's portrait paper (its
// right edge is the paper's top), so a horizontal slip goes in right edge first. Positions count
// from the page's top-left corner, so that corner of the slip lies against the paper's.
struct FeedAdvice {
    bool landscape = false;
    SlipEdge leading = SlipEdge::Top;  // of the slip as it is read, the edge that goes in first
    SlipEdge guide = SlipEdge::Left;   // the edge along the printer's paper guide
    std::string line;                  // the whole advice in one line
};

FeedAdvice FeedFor(bool horizontal);

const char* EdgeName(SlipEdge edge);

}  // namespace bm
