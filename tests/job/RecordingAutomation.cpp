#include "RecordingAutomation.h"

namespace {
QString argText(const QVariant &v)
{
    if (v.type() == QVariant::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (v.type() == QVariant::Double)
        return QString::number(v.toDouble(), 'g', 12);
    if (v.canConvert<QString>() && !v.toString().isEmpty())
        return v.toString();
    return QStringLiteral("<%1>").arg(QString::fromLatin1(v.typeName() ? v.typeName() : "null"));
}

// A query that the test made fail: a null object, as the host gives for no answer.
class NoAnswer : public AutomationObject
{
public:
    bool isNull() const override { return true; }
    QVariant dynamicCall(const char *, const QVariantList &) override { return {}; }
    AutomationHandle querySubObject(const char *, const QVariantList &) override
    {
        return std::make_unique<NoAnswer>();
    }
    bool setProperty(const char *, const QVariant &) override { return false; }
    QString errorText() const override { return QStringLiteral("no object"); }
};
} // namespace

QString CallRecord::text() const
{
    QStringList parts;
    for (const QVariant &a : args)
        parts << argText(a);
    return QStringLiteral("%1[%2]").arg(signature, parts.join(QLatin1Char(',')));
}

QStringList CallLog::texts(const QStringList &only) const
{
    QStringList out;
    for (const CallRecord &c : calls) {
        if (only.isEmpty() || only.contains(c.signature))
            out << c.text();
    }
    return out;
}

bool CallLog::shouldFail(const char *signature)
{
    if (failOccurrence <= 0 || failSignature != QLatin1String(signature))
        return false;
    return ++seen == failOccurrence;
}

RecordingObject::RecordingObject(AutomationHandle inner, QString name, std::shared_ptr<CallLog> log)
    : inner(std::move(inner)), name(std::move(name)), log(std::move(log))
{
}

bool RecordingObject::isNull() const
{
    return inner->isNull();
}

QVariant RecordingObject::dynamicCall(const char *signature, const QVariantList &args)
{
    log->calls.append({name, QString::fromLatin1(signature), args});
    injectedError.clear();
    if (log->shouldFail(signature)) {
        injectedError = QStringLiteral("injected: no answer");
        return {};
    }
    return inner->dynamicCall(signature, args);
}

AutomationHandle RecordingObject::querySubObject(const char *signature, const QVariantList &args)
{
    log->calls.append({name, QString::fromLatin1(signature), args});
    injectedError.clear();
    if (log->shouldFail(signature)) {
        injectedError = QStringLiteral("injected: no object");
        return std::make_unique<NoAnswer>();
    }
    AutomationHandle child = inner->querySubObject(signature, args);
    return std::make_unique<RecordingObject>(std::move(child), QString::fromLatin1(signature), log);
}

bool RecordingObject::setProperty(const char *propertyName, const QVariant &value)
{
    log->calls.append(
        {name, QStringLiteral("property %1").arg(QString::fromLatin1(propertyName)), {value}});
    injectedError.clear();
    if (log->refusedProperties.contains(QLatin1String(propertyName))) {
        injectedError = QStringLiteral("injected: unknown property");
        return false;
    }
    return inner->setProperty(propertyName, value);
}

QString RecordingObject::errorText() const
{
    return injectedError.isEmpty() ? inner->errorText() : injectedError;
}

AutomationHandle recordingApplication(const QString &programId, std::shared_ptr<CallLog> log)
{
    return std::make_unique<RecordingObject>(createAutomationApplication(programId),
                                             QStringLiteral("Application"), std::move(log));
}
