#include "NullObject.h"

#include "HostLog.h"

#include <QDebug>

QVariant NullObject::dynamicCall(const char *signature, const QVariantList &)
{
    qCDebug(builtinHostLog, "%s called on a null object (%s)", signature, qPrintable(why));
    return {};
}

AutomationHandle NullObject::querySubObject(const char *signature, const QVariantList &)
{
    qCDebug(builtinHostLog, "%s queried on a null object (%s)", signature, qPrintable(why));
    return std::make_unique<NullObject>(why);
}

bool NullObject::setProperty(const char *name, const QVariant &)
{
    qCDebug(builtinHostLog, "property %s set on a null object (%s)", name, qPrintable(why));
    return false;
}
