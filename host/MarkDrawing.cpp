#include "MarkDrawing.h"

#include "AutomationMembers.h"
#include "common/Units.h"

#include <QPointF>

namespace {
constexpr double ExtraOffset = mmToInches(13.0);   // extra mark below the top-right mark
constexpr double AssistDistance = mmToInches(8.5); // assist outline from top and bottom edges
constexpr double AssistWidth = mmToInches(0.2);
} // namespace

MarkDrawing::MarkDrawing(HostSession &session, const MarkLayout &layout)
    : s(session), l(layout), pw(session.pageWidth()), ph(session.pageHeight())
{
}

AutomationHandle MarkDrawing::segment(AutomationObject &layer, QPointF from, QPointF to,
                                      const Style &style)
{
    AutomationHandle shape =
        HostSession::query(layer, Member::CreateLineSegment, {from.x(), from.y(), to.x(), to.y()});
    HostSession::call(*HostSession::query(*shape, Member::Fill), Member::ApplyNoFill);
    HostSession::call(*HostSession::query(*shape, Member::Outline), Member::SetWidth,
                      {style.width});
    AutomationHandle outline = HostSession::query(*shape, Member::Outline);
    HostSession::call(*HostSession::query(*outline, Member::Color), Member::CMYKAssign,
                      {style.c, style.m, style.y, style.k});
    return shape;
}

// The two arms become one curve. The selection is emptied first so that nothing the user had
// selected is combined into the mark.
void MarkDrawing::combineCross(AutomationObject &first, AutomationObject &second)
{
    HostSession::call(s.document(), Member::ClearSelection);
    HostSession::call(first, Member::AddToSelection);
    HostSession::call(second, Member::AddToSelection);
    HostSession::call(*HostSession::query(s.application(), Member::ActiveSelection),
                      Member::Combine);
}

void MarkDrawing::drawAssistOutline(AutomationObject &layer)
{
    const double xL1 = l.left - l.markWidth / 2, xL2 = l.left + l.markWidth / 2;
    const double xR1 = pw - l.right - l.markWidth / 2, xR2 = pw - l.right + l.markWidth / 2;
    const double yT1 = ph - l.top - l.markHeight / 2, yT2 = ph - l.top + l.markHeight / 2;
    const double yB1 = l.bottom - l.markHeight / 2, yB2 = l.bottom + l.markHeight / 2;
    const double yS1 = AssistDistance - l.markHeight / 2;
    const double yS2 = ph - AssistDistance + l.markHeight / 2;
    const double yE1 = ph - l.top - ExtraOffset - l.markHeight / 2;
    const QPointF ends[20][2] = {
        {{xL1, yS2}, {xR2, yS2}}, {{xL1, yS1}, {xR2, yS1}}, {{xL1, yS2}, {xL1, yT2}},
        {{xL1, yT2}, {xL2, yT2}}, {{xL1, yT1}, {xL2, yT1}}, {{xL2, yT1}, {xL2, yT2}},
        {{xR2, yS2}, {xR2, yT2}}, {{xR2, yT2}, {xR1, yT2}}, {{xR1, yT2}, {xR1, yE1}},
        {{xR1, yE1}, {xR2, yE1}}, {{xL1, yB2}, {xL2, yB2}}, {{xL2, yB2}, {xL2, yB1}},
        {{xL2, yB1}, {xL1, yB1}}, {{xL1, yB1}, {xL1, yS1}}, {{xR2, yB2}, {xR1, yB2}},
        {{xR1, yB2}, {xR1, yB1}}, {{xR1, yB1}, {xR2, yB1}}, {{xR2, yB1}, {xR2, yS1}},
        {{xL1, yT1}, {xL1, yB2}}, {{xR2, yE1}, {xR2, yB2}},
    };
    const Style assist{AssistWidth, 0, 50, 0, 0};
    for (const auto &end : ends)
        segment(layer, end[0], end[1], assist);
    AutomationHandle shapes = HostSession::query(layer, Member::Shapes);
    HostSession::call(*HostSession::query(*shapes, Member::All), Member::Combine);
    HostSession::call(layer, Member::SetEditable, {false});
    HostSession::call(layer, Member::SetPrintable, {false});
}

void MarkDrawing::drawCornerMarks(AutomationObject &layer)
{
    const QPointF centres[4] = {{l.left, ph - l.top},
                                {pw - l.right, ph - l.top},
                                {l.left, l.bottom},
                                {pw - l.right, l.bottom}};
    const Style mark{l.markWeight, 0, 0, 0, 100};
    const double w2 = l.markWidth / 2, h2 = l.markHeight / 2;
    for (const QPointF &c : centres) {
        AutomationHandle across = segment(layer, {c.x() - w2, c.y()}, {c.x() + w2, c.y()}, mark);
        AutomationHandle down = segment(layer, {c.x(), c.y() - h2}, {c.x(), c.y() + h2}, mark);
        combineCross(*across, *down);
    }
    HostSession::call(layer, Member::SetEditable, {false});
}

void MarkDrawing::drawExtraMark(AutomationObject &layer)
{
    const double x = pw - l.right, w2 = l.markWidth / 2, h2 = l.markHeight / 2;
    const double y = ph - l.top - ExtraOffset;
    const Style mark{l.markWeight, 0, 0, 0, 100};
    AutomationHandle across = segment(layer, {x - w2, y}, {x + w2, y}, mark);
    AutomationHandle down = segment(layer, {x, ph - l.top - h2}, {x, y - h2}, mark);
    combineCross(*across, *down);
    HostSession::call(layer, Member::SetEditable, {false});
}
