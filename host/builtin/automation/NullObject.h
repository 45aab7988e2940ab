#pragma once
// The answer of the built-in host to a query that found nothing (a layer name that is not there,
// an item past the end, a failed call): a null object that says why and refuses every call.

#include "../AutomationObject.h"

// The answer to a query that found nothing: a null object that says why.
class NullObject : public AutomationObject
{
public:
    explicit NullObject(const QString &why) : why(why) {}
    bool isNull() const override { return true; }
    QVariant dynamicCall(const char *signature, const QVariantList &args = {}) override;
    AutomationHandle querySubObject(const char *signature, const QVariantList &args = {}) override;
    bool setProperty(const char *name, const QVariant &value) override;
    QString errorText() const override { return why; }

private:
    QString why;
};
