#include "MarkDrawing.h"

#include "AutomationMembers.h"
#include "common/Units.h"

#include <QPointF>

namespace {
constexpr double ExtraOffsetInches = mmToInches(13.0);   // extra mark below the top-right mark
constexpr double AssistDistanceInches = mmToInches(8.5); // assist outline from top and bottom edges
constexpr double AssistWidthInches = mmToInches(0.2);
} // namespace

MarkDrawing::MarkDrawing(HostSession &session, const MarkLayout &layout)
    : session(session), layout(layout), pageWidthInches(session.pageWidthInches()),
      pageHeightInches(session.pageHeightInches())
{
}

AutomationHandle MarkDrawing::segment(AutomationObject &layer, QPointF from, QPointF to,
                                      const Style &style)
{
    AutomationHandle shape =
        HostSession::query(layer, Member::CreateLineSegment, {from.x(), from.y(), to.x(), to.y()});
    HostSession::call(*HostSession::query(*shape, Member::Fill), Member::ApplyNoFill);
    HostSession::call(*HostSession::query(*shape, Member::Outline), Member::SetWidth,
                      {style.widthInches});
    AutomationHandle outline = HostSession::query(*shape, Member::Outline);
    HostSession::call(*HostSession::query(*outline, Member::Color), Member::CMYKAssign,
                      {style.cyan, style.magenta, style.yellow, style.black});
    return shape;
}

// The two arms become one curve. The selection is emptied first so that nothing the user had
// selected is combined into the mark.
void MarkDrawing::combineCross(AutomationObject &first, AutomationObject &second)
{
    HostSession::call(session.document(), Member::ClearSelection);
    HostSession::call(first, Member::AddToSelection);
    HostSession::call(second, Member::AddToSelection);
    HostSession::call(*HostSession::query(session.application(), Member::ActiveSelection),
                      Member::Combine);
}

// The outline runs around the mark boxes. Edges of the mark boxes: xL1/xL2 left and right of the
// left column, xR1/xR2 of the right column, yT1/yT2 bottom and top of the top row, yB1/yB2 of the
// bottom row, yE1 the extra mark's bottom; yS1/yS2 the outline's bottom and top.
void MarkDrawing::drawAssistOutline(AutomationObject &layer)
{
    const double xL1 = layout.leftInches - layout.markWidthInches / 2,
                 xL2 = layout.leftInches + layout.markWidthInches / 2;
    const double xR1 = pageWidthInches - layout.rightInches - layout.markWidthInches / 2,
                 xR2 = pageWidthInches - layout.rightInches + layout.markWidthInches / 2;
    const double yT1 = pageHeightInches - layout.topInches - layout.markHeightInches / 2,
                 yT2 = pageHeightInches - layout.topInches + layout.markHeightInches / 2;
    const double yB1 = layout.bottomInches - layout.markHeightInches / 2,
                 yB2 = layout.bottomInches + layout.markHeightInches / 2;
    const double yS1 = AssistDistanceInches - layout.markHeightInches / 2;
    const double yS2 = pageHeightInches - AssistDistanceInches + layout.markHeightInches / 2;
    const double yE1 =
        pageHeightInches - layout.topInches - ExtraOffsetInches - layout.markHeightInches / 2;
    const QPointF ends[20][2] = {
        {{xL1, yS2}, {xR2, yS2}}, {{xL1, yS1}, {xR2, yS1}}, {{xL1, yS2}, {xL1, yT2}},
        {{xL1, yT2}, {xL2, yT2}}, {{xL1, yT1}, {xL2, yT1}}, {{xL2, yT1}, {xL2, yT2}},
        {{xR2, yS2}, {xR2, yT2}}, {{xR2, yT2}, {xR1, yT2}}, {{xR1, yT2}, {xR1, yE1}},
        {{xR1, yE1}, {xR2, yE1}}, {{xL1, yB2}, {xL2, yB2}}, {{xL2, yB2}, {xL2, yB1}},
        {{xL2, yB1}, {xL1, yB1}}, {{xL1, yB1}, {xL1, yS1}}, {{xR2, yB2}, {xR1, yB2}},
        {{xR1, yB2}, {xR1, yB1}}, {{xR1, yB1}, {xR2, yB1}}, {{xR2, yB1}, {xR2, yS1}},
        {{xL1, yT1}, {xL1, yB2}}, {{xR2, yE1}, {xR2, yB2}},
    };
    const Style assist{AssistWidthInches, 0, 50, 0, 0};
    for (const auto &end : ends)
        segment(layer, end[0], end[1], assist);
    AutomationHandle shapes = HostSession::query(layer, Member::Shapes);
    HostSession::call(*HostSession::query(*shapes, Member::All), Member::Combine);
    HostSession::call(layer, Member::SetEditable, {false});
    HostSession::call(layer, Member::SetPrintable, {false});
}

void MarkDrawing::drawCornerMarks(AutomationObject &layer)
{
    const QPointF centres[4] = {
        {layout.leftInches, pageHeightInches - layout.topInches},
        {pageWidthInches - layout.rightInches, pageHeightInches - layout.topInches},
        {layout.leftInches, layout.bottomInches},
        {pageWidthInches - layout.rightInches, layout.bottomInches}};
    const Style mark{layout.markWeightInches, 0, 0, 0, 100};
    const double halfWidth = layout.markWidthInches / 2, halfHeight = layout.markHeightInches / 2;
    for (const QPointF &centre : centres) {
        AutomationHandle across = segment(layer, {centre.x() - halfWidth, centre.y()},
                                          {centre.x() + halfWidth, centre.y()}, mark);
        AutomationHandle down = segment(layer, {centre.x(), centre.y() - halfHeight},
                                        {centre.x(), centre.y() + halfHeight}, mark);
        combineCross(*across, *down);
    }
    HostSession::call(layer, Member::SetEditable, {false});
}

void MarkDrawing::drawExtraMark(AutomationObject &layer)
{
    const double centreX = pageWidthInches - layout.rightInches;
    const double centreY = pageHeightInches - layout.topInches - ExtraOffsetInches;
    const double halfWidth = layout.markWidthInches / 2, halfHeight = layout.markHeightInches / 2;
    const Style mark{layout.markWeightInches, 0, 0, 0, 100};
    AutomationHandle across =
        segment(layer, {centreX - halfWidth, centreY}, {centreX + halfWidth, centreY}, mark);
    // The upper arm reaches up to the top-right mark's box.
    AutomationHandle down =
        segment(layer, {centreX, pageHeightInches - layout.topInches - halfHeight},
                {centreX, centreY - halfHeight}, mark);
    combineCross(*across, *down);
    HostSession::call(layer, Member::SetEditable, {false});
}
