#pragma once
// Windows: the automation interface over ActiveQt's QAxObject, passing every call through as it
// stands. Owns its QAxObject. errorText() holds what COM said about the last call's failure (the
// description of QAxBase's exception signal); a call that answers no value without an exception
// is no failure here, since members without a result answer just that.

#include "../AutomationObject.h"

#include <memory>

class QAxObject;

class AxAutomationObject : public AutomationObject
{
public:
    // Takes ownership; nullptr is a null object, `why` its reason.
    explicit AxAutomationObject(QAxObject *object, const QString &why = QString());
    ~AxAutomationObject() override;

    bool isNull() const override;
    QVariant dynamicCall(const char *signature, const QVariantList &args = {}) override;
    AutomationHandle querySubObject(const char *signature, const QVariantList &args = {}) override;
    bool setProperty(const char *name, const QVariant &value) override;
    QString errorText() const override { return lastError; }

private:
    std::unique_ptr<QAxObject> object;
    QString lastError;
    QString lastException; // the description COM gave during the call under way
};
