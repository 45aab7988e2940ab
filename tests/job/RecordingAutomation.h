#pragma once
// A decorator around the host's application object that records every automation call made
// through it and through every object queried from it, and that can make a chosen call fail
// (no object, no value) to exercise the paths where the host does not answer.

#include "host/AutomationObject.h"

#include <QString>
#include <QStringList>
#include <memory>

struct CallRecord
{
    QString object;    // the member that produced the object called, "Application" for the root
    QString signature; // as written by the caller; "property Name" for setProperty
    QVariantList args;

    // "Signature[arg,arg]" with booleans as true/false, numbers as Qt prints them.
    QString text() const;
};

struct CallLog
{
    QList<CallRecord> calls;
    QString failSignature;  // calls with this signature fail ...
    int failOccurrence = 0; // ... at this occurrence (1-based); 0: none fails
    int seen = 0;
    QStringList refusedProperties; // setProperty refuses these names, as an older host would

    // Every call as text, in order; `only` keeps the calls whose signature is listed.
    QStringList texts(const QStringList &only = {}) const;
    bool shouldFail(const char *signature);
};

class RecordingObject : public AutomationObject
{
public:
    RecordingObject(AutomationHandle inner, QString name, std::shared_ptr<CallLog> log);

    bool isNull() const override;
    QVariant dynamicCall(const char *signature, const QVariantList &args = {}) override;
    AutomationHandle querySubObject(const char *signature, const QVariantList &args = {}) override;
    bool setProperty(const char *name, const QVariant &value) override;
    QString errorText() const override;

private:
    AutomationHandle inner;
    QString name;
    std::shared_ptr<CallLog> log;
    QString injectedError;
};

// The application object for `programId`, wrapped so that `log` sees every call.
AutomationHandle recordingApplication(const QString &programId, std::shared_ptr<CallLog> log);
