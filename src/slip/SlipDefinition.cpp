#include "slip/SlipDefinition.h"

namespace bm {

const char* FieldLabel(Field f)
{
    static const char* const labels[kFieldCount] = {
        "Pool",
        "Pick",
        "Total Panels",
        "Overall Width Of Slip",
        "Overall Height Of Slip",
        "Top Of Slip To Top Of 1st Row",
        "Number Of Main Panels",
        "Rows In Each Panel",
        "Panels Across",
        "Left Margin Indent",
        "Columns Across Panel",
        "Number Box Width",
        "Number Box Height",
        "Horizontal Panel Gap",
        "Vertical Gap Between Rows",
        "Vertical Gap Between Panels",
        "Horizontal Shift Between Boxes In Panel",
    };
    return labels[static_cast<int>(f)];
}

bool IsWholeField(Field f)
{
    switch (f) {
    case Field::Pool:
    case Field::Pick:
    case Field::TotalPanels:
    case Field::MainPanels:
    case Field::RowsInPanel:
    case Field::PanelsAcross:
    case Field::ColumnsInPanel: return true;
    default: return false;
    }
}

}  // namespace bm
