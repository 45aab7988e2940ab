#pragma once
// How a host session stops an operation half-way: HostSession's call()/read()/query() throw it
// when the host answers nothing, and CdrConnection's operations catch it around their steps and
// return the failure as a Result. Only the operations' sources include this header, so the
// exception never travels past host/.

#include "AutomationMembers.h"
#include "AutomationObject.h"

#include <QString>

struct HostNoAnswer
{
    QString detail; // which call failed and the host's reason, for diagnostics
    // Set when the host did answer, with a failure the user can act on (a file it cannot write,
    // a page it cannot draw): shown instead of the host-not-answering text.
    QString explained = {};
};

// Runs `body` on a layer the operation has unlocked. If the host stops answering, the layer is
// locked again before the failure goes on, so working layers never stay selectable artwork.
template <typename Body> void relockOnFailure(AutomationObject &layer, Body body)
{
    try {
        body();
    } catch (const HostNoAnswer &) {
        layer.dynamicCall(Member::SetEditable, {false});
        throw;
    }
}
