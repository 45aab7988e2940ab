#pragma once
// The late-bound automation interface that the host layer talks through: the subset of what a
// COM automation object (QAxObject) offers that CdrConnection needs. Two realisations: a thin
// QAxObject adapter on Windows (host/ax) and the built-in drawing host here (host/builtin).
// Member signature strings live in AutomationMembers.h and are shared by both.

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

class AutomationObject
{
public:
    virtual ~AutomationObject() = default;

    // True when the object does not exist (no host, or a query that answered nothing).
    virtual bool isNull() const = 0;

    // Calls a member by its signature, e.g. "CreateLineSegment(double,double,double,double)".
    // A failed call returns an invalid QVariant and leaves a message in errorText().
    virtual QVariant dynamicCall(const char *signature, const QVariantList &args = {}) = 0;

    // Calls a member that answers an object. Never returns nullptr: a failed query returns an
    // object whose isNull() is true, and errorText() of this object says why.
    virtual std::unique_ptr<AutomationObject> querySubObject(const char *signature,
                                                             const QVariantList &args = {}) = 0;

    // Writes a property by name (export filter and PDF settings options). False when refused.
    virtual bool setProperty(const char *name, const QVariant &value) = 0;

    // The reason of the last failed call on this object; empty after a successful one.
    virtual QString errorText() const = 0;
};

using AutomationHandle = std::unique_ptr<AutomationObject>;

// Creates the application object for a program identifier such as "CorelDraw.Application.17".
// Never nullptr; isNull() is true when no host answers to that identifier.
AutomationHandle createAutomationApplication(const QString &programId);
