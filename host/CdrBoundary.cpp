// CdrConnection's "Create Boundary" operations.
#include "CdrConnection.h"

#include "AutomationMembers.h"
#include "HostNoAnswer.h"
#include "common/Units.h"

namespace {
// A hairline a cutter follows, thin enough not to show if the layer is ever printed.
constexpr double BoundaryWidthInches = mmToInches(0.076);

// The boundary of the selectable shapes, put on the active layer by the host, as no-fill
// hairline curves, one per closed outline. A host that makes no boundary (nothing with an area)
// is no failure: there is simply nothing to cut around.
void drawBoundary(HostSession &session, AutomationObject &shapes)
{
    // Whatever the user had selected must not join the boundary (a mark selected before the
    // layers were locked would get a contour of its own).
    HostSession::call(session.document(), Member::ClearSelection);
    HostSession::call(*HostSession::query(shapes, Member::All), Member::AddToSelection);
    AutomationHandle selection = HostSession::query(session.application(), Member::ActiveSelection);
    // The two placement numbers go as integers, as the host's own macros pass them.
    AutomationHandle boundary =
        selection->querySubObject(Member::CreateBoundary, {0, 0, true, false});
    if (!boundary || boundary->isNull())
        return;
    HostSession::call(*HostSession::query(*boundary, Member::Fill), Member::ApplyNoFill);
    HostSession::call(*HostSession::query(*boundary, Member::Outline), Member::SetWidth,
                      {BoundaryWidthInches});
    HostSession::call(*boundary, Member::BreakApartEx);
}
} // namespace

Result<> CdrConnection::createCutBoundary()
{
    return runSteps(HostSession::Opening(), true, [](HostSession &session) {
        const bool cutting = session.findLayer(CuttingLayer);
        const bool creasing = session.findLayer(CreasingLayer);
        AutomationHandle layer = session.prepareLayer(CuttingLayer, cutting);
        // A hidden layer would take the boundary and then be left out of the cut export.
        HostSession::call(*layer, Member::SetVisible, {true});
        // CreateBoundary names no layer: the host puts the new curve on the active layer, and
        // a layer just created is not active yet.
        if (!cutting)
            HostSession::call(*layer, Member::Activate);
        // Crease lines are artwork to the host, but cutting around them would cut through the
        // fold; their layer sits out of the selection for the boundary and gets its state back.
        AutomationHandle creaseLayer;
        if (creasing) {
            AutomationHandle found = session.layerByName(CreasingLayer);
            if (HostSession::read(*found, Member::Editable).toBool()) {
                creaseLayer = std::move(found);
                HostSession::call(*creaseLayer, Member::SetEditable, {false});
            }
        }
        try {
            // An empty page leaves the layer empty and editable, for contours drawn by hand.
            AutomationHandle shapes = HostSession::query(session.page(), Member::SelectableShapes);
            if (HostSession::read(*shapes, Member::Count).toInt() > 0) {
                relockOnFailure(*layer, [&] { drawBoundary(session, *shapes); });
                HostSession::call(*layer, Member::SetEditable, {false});
            }
        } catch (const HostNoAnswer &) {
            if (creaseLayer)
                creaseLayer->dynamicCall(Member::SetEditable, {true});
            throw;
        }
        if (creaseLayer)
            HostSession::call(*creaseLayer, Member::SetEditable, {true});
    });
}

Result<> CdrConnection::ensureCuttingLayer()
{
    return runSteps(HostSession::Opening(), true, [](HostSession &session) {
        if (!session.findLayer(CuttingLayer))
            HostSession::query(session.page(), Member::CreateLayer, {CuttingLayer});
        else // the contours drawn on it by hand must show, and be exported
            HostSession::call(*session.layerByName(CuttingLayer), Member::SetVisible, {true});
    });
}
