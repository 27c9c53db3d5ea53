#include "printing/RecordingSurface.h"

namespace bm {

void RecordingSurface::UseMillimetres()
{
    millimetres_ = true;
    calls_.emplace_back("UseMillimetres");
}

void RecordingSurface::SetOrientation(Orientation o)
{
    orientation_ = o;
    calls_.emplace_back(o == Orientation::Landscape ? "SetOrientation Landscape" : "SetOrientation Portrait");
}

void RecordingSurface::FillBox(float x1, float y1, float x2, float y2)
{
    counter_.Draw();
    marks_.push_back({counter_.sheet(), x1, y1, x2, y2});
}

void RecordingSurface::OutlineBox(float x1, float y1, float x2, float y2)
{
    counter_.Draw();
    outlines_.push_back({counter_.sheet(), x1, y1, x2, y2});
}

void RecordingSurface::NextPage()
{
    counter_.Next();
    calls_.emplace_back("NextPage");
}

Status RecordingSurface::EndDocument()
{
    calls_.emplace_back("EndDocument");
    if (!refusal_.empty()) {
        marks_.clear();
        return Error{refusal_};
    }
    ended_ = true;
    return Ok{};
}

void RecordingSurface::AbandonDocument()
{
    calls_.emplace_back("AbandonDocument");
    abandoned_ = true;
    marks_.clear();
}

}  // namespace bm
