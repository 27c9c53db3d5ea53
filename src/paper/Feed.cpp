#include "paper/Feed.h"

namespace bm {

const char* EdgeName(SlipEdge edge)
{
    switch (edge) {
    case SlipEdge::Top: return "top";
    case SlipEdge::Right: return "right";
    case SlipEdge::Bottom: return "bottom";
    case SlipEdge::Left: return "left";
    }
    return "top";
}

FeedAdvice FeedFor(bool horizontal)
{
    FeedAdvice a;
    a.landscape = horizontal;
    a.leading = horizontal ? SlipEdge::Right : SlipEdge::Top;
    a.guide = horizontal ? SlipEdge::Top : SlipEdge::Left;
    a.line = std::string("Feed The Slip ") + (horizontal ? "Right" : "Top") + " Edge First, Printed Side Up, " +
             (horizontal ? "Top" : "Left") + " Edge Against The Paper Guide";
    return a;
}

}  // namespace bm
