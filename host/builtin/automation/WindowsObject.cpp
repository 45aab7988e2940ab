#include "WindowsObject.h"

#include "../AutomationMembers.h"
#include "BuiltinHost.h"

WindowsObject::WindowsObject() : BuiltinObject(QStringLiteral("Windows"))
{
    addMember(Member::Refresh, Returns::Nothing, [](const QVariantList &) {
        BuiltinHost::instance().refresh();
        return CallResult::none();
    });
    addMember(Member::Count, Returns::Value, [](const QVariantList &) {
        return CallResult::of(BuiltinHost::instance().activeDocument() ? 1 : 0);
    });
}
