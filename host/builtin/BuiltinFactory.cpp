// The factory of the automation interface where the drawing host is the built-in one.
#include "../AutomationObject.h"
#include "BuiltinHost.h"
#include "automation/ApplicationObject.h"
#include "automation/NullObject.h"

AutomationHandle createAutomationApplication(const QString &programId)
{
    if (!BuiltinHost::instance().isProgramIdAvailable(programId))
        return std::make_unique<NullObject>(
            QStringLiteral("no drawing host answers to \"%1\"").arg(programId));
    AutomationHandle application = std::make_unique<ApplicationObject>();
    const BuiltinHost::ApplicationWrapper &wrap = BuiltinHost::instance().applicationWrapper();
    return wrap ? wrap(std::move(application)) : std::move(application);
}
