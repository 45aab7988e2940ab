#include "HostSession.h"

#include "AutomationMembers.h"
#include "HostNoAnswer.h"

#include <cmath>

namespace {
QString describe(const char *signature, const QString &reason)
{
    const QString why = reason.isEmpty() ? QStringLiteral("no answer") : reason;
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(signature), why);
}
} // namespace

HostSession::HostSession(AutomationObject &application) : applicationObject(application) {}

AutomationHandle HostSession::query(AutomationObject &object, const char *signature,
                                    const QVariantList &args)
{
    AutomationHandle result = object.querySubObject(signature, args);
    if (!result || result->isNull())
        throw HostNoAnswer{describe(signature, object.errorText())};
    return result;
}

void HostSession::call(AutomationObject &object, const char *signature, const QVariantList &args)
{
    object.dynamicCall(signature, args);
    const QString reason = object.errorText();
    if (!reason.isEmpty())
        throw HostNoAnswer{describe(signature, reason)};
}

void HostSession::callExplained(AutomationObject &object, const char *signature,
                                const QVariantList &args, const QString &what)
{
    object.dynamicCall(signature, args);
    const QString reason = object.errorText();
    if (reason.isEmpty())
        return;
    // The host may begin its reason with the call it answers, which says nothing to a user.
    const QString call = QString::fromLatin1(signature) + QLatin1String(": ");
    const int callAt = reason.indexOf(call);
    const QString why = callAt < 0 ? reason : reason.mid(callAt + call.size());
    throw HostNoAnswer{describe(signature, reason), what.arg(why)};
}

QVariant HostSession::read(AutomationObject &object, const char *signature,
                           const QVariantList &args)
{
    const QVariant value = object.dynamicCall(signature, args);
    if (!value.isValid() || !object.errorText().isEmpty())
        throw HostNoAnswer{describe(signature, object.errorText())};
    return value;
}

double HostSession::readDouble(AutomationObject &object, const char *signature)
{
    bool ok = false;
    const double value = read(object, signature).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw HostNoAnswer{describe(signature, QStringLiteral("not a number"))};
    return value;
}

void HostSession::open(const Opening &opening)
{
    call(applicationObject, Member::SetOptimization, {true});
    documentHandle = applicationObject.querySubObject(Member::ActiveDocument);
    if (!documentHandle || documentHandle->isNull())
        documentHandle = query(applicationObject, Member::CreateDocument);
    pageHandle = query(*documentHandle, Member::ActivePage);
    if (opening.activeLayer)
        activeLayer = query(*documentHandle, Member::ActiveLayer);
    if (opening.activeLayer && opening.layerName)
        savedName = read(*activeLayer, Member::Name).toString();
    if (opening.width)
        widthInches = readDouble(*pageHandle, Member::SizeWidth);
    if (opening.height)
        heightInches = readDouble(*pageHandle, Member::SizeHeight);
    if (opening.layers) {
        layersHandle = query(*pageHandle, Member::Layers);
        layerTotal = read(*layersHandle, Member::Count).toInt();
    }
}

void HostSession::close(bool restoreLayer) noexcept
{
    if (restoreLayer && layersHandle && !savedName.isEmpty()) {
        AutomationHandle saved = layersHandle->querySubObject(Member::Find, {savedName});
        if (saved && !saved->isNull())
            saved->dynamicCall(Member::Activate);
    }
    applicationObject.dynamicCall(Member::SetOptimization, {false});
    applicationObject.dynamicCall(Member::Refresh);
    AutomationHandle windows = applicationObject.querySubObject(Member::Windows);
    if (windows && !windows->isNull())
        windows->dynamicCall(Member::Refresh);
}

bool HostSession::findLayer(const QString &name)
{
    for (int i = 1; i <= layerTotal; ++i) {
        AutomationHandle layer = query(*layersHandle, Member::Item, {i});
        if (read(*layer, Member::Name).toString() == name)
            return true;
    }
    return false;
}

AutomationHandle HostSession::layerByName(const QString &name)
{
    return query(*layersHandle, Member::Find, {name});
}

AutomationHandle HostSession::prepareLayer(const QString &name, bool found)
{
    if (!found)
        return query(*pageHandle, Member::CreateLayer, {name});
    AutomationHandle layer = layerByName(name);
    call(*layer, Member::Activate);
    call(*layer, Member::SetEditable, {true});
    AutomationHandle shapes = query(*layer, Member::Shapes);
    AutomationHandle all = query(*shapes, Member::All);
    call(*all, Member::Delete);
    return layer;
}
