#include "AxAutomationObject.h"

#include <QAxObject>

namespace {
QString describe(const char *signature, const QString &reason)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(signature), reason);
}

QString exceptionText(int code, const QString &source, const QString &desc)
{
    if (!desc.isEmpty())
        return desc;
    if (!source.isEmpty())
        return QStringLiteral("%1 (code %2)").arg(source).arg(code);
    return QStringLiteral("COM error %1").arg(code);
}
} // namespace

AxAutomationObject::AxAutomationObject(QAxObject *object, const QString &why)
    : object(object), lastError(why)
{
    // COM reports a failed call (the member raised an error) only through this signal; the call
    // itself answers an invalid value, as a member without a result does on success.
    if (object)
        QObject::connect(
            object, &QAxObject::exception, object,
            [this](int code, const QString &source, const QString &desc, const QString &) {
                lastException = exceptionText(code, source, desc);
            });
}

AxAutomationObject::~AxAutomationObject() = default;

bool AxAutomationObject::isNull() const
{
    return !object || object->isNull();
}

QVariant AxAutomationObject::dynamicCall(const char *signature, const QVariantList &args)
{
    if (isNull()) {
        lastError = describe(signature, QStringLiteral("called on a null object"));
        return {};
    }
    lastException.clear();
    QVariantList inOut = args;
    const QVariant result = object->dynamicCall(signature, inOut);
    lastError = lastException.isEmpty() ? QString() : describe(signature, lastException);
    return result;
}

AutomationHandle AxAutomationObject::querySubObject(const char *signature, const QVariantList &args)
{
    if (isNull()) {
        lastError = describe(signature, QStringLiteral("queried on a null object"));
        return std::make_unique<AxAutomationObject>(nullptr, lastError);
    }
    lastException.clear();
    QVariantList inOut = args;
    QAxObject *child = object->querySubObject(signature, inOut);
    // QAxObject makes the child its own; the handle owns it alone, whichever dies first.
    if (child)
        child->setParent(nullptr);
    if (!lastException.isEmpty())
        lastError = describe(signature, lastException);
    else if (!child)
        lastError = describe(signature, QStringLiteral("answered no object"));
    else
        lastError.clear();
    return std::make_unique<AxAutomationObject>(child, lastError);
}

bool AxAutomationObject::setProperty(const char *name, const QVariant &value)
{
    if (isNull()) {
        lastError = describe(name, QStringLiteral("property set on a null object"));
        return false;
    }
    lastException.clear();
    if (!object->setProperty(name, value) || !lastException.isEmpty()) {
        lastError = describe(name, lastException.isEmpty() ? QStringLiteral("property refused")
                                                           : lastException);
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
