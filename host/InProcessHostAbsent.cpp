// Where the drawing host runs in a process of its own, it has no window here to ask about
// unsaved changes: it asks on its own when it ends.
#include "InProcessHost.h"

namespace InProcessHost {

bool mayEnd()
{
    return true;
}

} // namespace InProcessHost
