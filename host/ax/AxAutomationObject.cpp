#include "AxAutomationObject.h"

#include <QAxObject>

AxAutomationObject::AxAutomationObject(QAxObject *object, const QString &why)
    : object(object), lastError(why)
{
}

AxAutomationObject::~AxAutomationObject() = default;

bool AxAutomationObject::isNull() const
{
    return !object || object->isNull();
}

QVariant AxAutomationObject::dynamicCall(const char *signature, const QVariantList &args)
{
    if (isNull()) {
        lastError = QStringLiteral("%1 called on a null object").arg(QLatin1String(signature));
        return {};
    }
    lastError.clear();
    QVariantList inOut = args;
    return object->dynamicCall(signature, inOut);
}

AutomationHandle AxAutomationObject::querySubObject(const char *signature, const QVariantList &args)
{
    if (isNull()) {
        lastError = QStringLiteral("%1 queried on a null object").arg(QLatin1String(signature));
        return std::make_unique<AxAutomationObject>(nullptr);
    }
    lastError.clear();
    QVariantList inOut = args;
    QAxObject *child = object->querySubObject(signature, inOut);
    // QAxObject makes the child its own; the handle owns it alone, whichever dies first.
    if (child)
        child->setParent(nullptr);
    if (!child)
        lastError = QStringLiteral("%1 answered no object").arg(QLatin1String(signature));
    return std::make_unique<AxAutomationObject>(child);
}

bool AxAutomationObject::setProperty(const char *name, const QVariant &value)
{
    if (isNull() || !object->setProperty(name, value)) {
        lastError = QStringLiteral("property %1 was refused").arg(QLatin1String(name));
        return false;
    }
    lastError.clear();
    return true;
}

AutomationHandle createAutomationApplication(const QString &programId)
{
    auto *application = new QAxObject(programId);
    if (application->isNull()) {
        delete application;
        return std::make_unique<AxAutomationObject>(
            nullptr, QStringLiteral("no COM object answers to \"%1\"").arg(programId));
    }
    return std::make_unique<AxAutomationObject>(application);
}
