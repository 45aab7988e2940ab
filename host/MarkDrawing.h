#pragma once
// Draws what "Add Mark" puts on the page: the non-printing assist outline, the four corner
// registration marks and the extra mark, each on its working layer. Coordinates are inches,
// origin at the page's lower-left corner, y up; the layout comes from the window's margins.

#include "CdrConnection.h"
#include "HostSession.h"

class MarkDrawing
{
public:
    // The session must have read the page width and height.
    MarkDrawing(HostSession &session, const MarkLayout &layout);

    // Twenty segments combined into one curve; the layer ends locked and non-printing.
    void drawAssistOutline(AutomationObject &layer);
    // Top-left, top-right, bottom-left, bottom-right; each cross one curve; layer locked.
    void drawCornerMarks(AutomationObject &layer);
    // A cross 13 mm below the top-right mark, its upper arm up to that mark's box; locked.
    void drawExtraMark(AutomationObject &layer);

private:
    struct Style
    {
        double widthInches;
        int cyan, magenta, yellow, black; // 0..100
    };
    AutomationHandle segment(AutomationObject &layer, QPointF from, QPointF to, const Style &style);
    void combineCross(AutomationObject &first, AutomationObject &second);

    HostSession &session;
    MarkLayout layout;
    double pageWidthInches, pageHeightInches;
};
