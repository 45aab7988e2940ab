#pragma once
// Base of every automation object of the built-in host. An object registers its members by the
// signature strings of AutomationMembers.h; a call is matched by member name, its argument count
// checked against both the caller's signature and the member's, and each argument converted to
// the member's declared type the way COM converts a VARIANT (an int where a double is declared is
// fine, a text that is no number is not). A failed call answers an invalid QVariant or a null
// object, leaves the reason in errorText() and also warns, so a test cannot miss it.

#include "../AutomationObject.h"
#include "NullObject.h"

#include <QByteArray>
#include <QMetaType>
#include <QVector>
#include <functional>

// What dynamicCall answers for a member that returns an object (COM would hand out an IDispatch):
// a valid value naming the kind of object, which callers only pass on.
struct BuiltinObjectToken
{
    QString kind;
};
Q_DECLARE_METATYPE(BuiltinObjectToken)

enum class ArgType
{
    Bool,
    Int,
    Double,
    String,
    Variant
};

struct CallResult
{
    QVariant value;
    AutomationHandle object;
    QString error;

    static CallResult none() { return {}; }
    static CallResult of(const QVariant &value)
    {
        CallResult result;
        result.value = value;
        return result;
    }
    static CallResult of(AutomationHandle object)
    {
        CallResult result;
        result.object = std::move(object);
        return result;
    }
    static CallResult failure(const QString &why)
    {
        CallResult result;
        result.error = why;
        return result;
    }
};

class BuiltinObject : public AutomationObject
{
public:
    bool isNull() const override { return false; }
    QVariant dynamicCall(const char *signature, const QVariantList &args = {}) override;
    AutomationHandle querySubObject(const char *signature, const QVariantList &args = {}) override;
    bool setProperty(const char *name, const QVariant &value) override;
    QString errorText() const override { return lastError; }

    const QString &kind() const { return kindName; }

    // Converts one argument as COM would; false when it cannot be converted.
    static bool convertArgument(const QVariant &in, ArgType type, QVariant *out);

protected:
    explicit BuiltinObject(const QString &kind) : kindName(kind) {}

    using Handler = std::function<CallResult(const QVariantList &)>;
    enum class Returns
    {
        Nothing,
        Value,
        Object
    };
    void addMember(const char *signature, Returns returns, Handler handler);

    // Property writes: subclasses with properties override; the default refuses every name.
    virtual QString writeProperty(const QString &name, const QVariant &value);

private:
    struct MemberDef
    {
        QByteArray name;
        QVector<ArgType> params;
        Returns returns = Returns::Nothing;
        Handler handler;
    };
    CallResult invoke(const char *signature, const QVariantList &args, bool wantObject);
    const MemberDef *findMember(const QByteArray &name) const;
    void fail(const QString &why);

    QString kindName;
    QVector<MemberDef> members;
    QString lastError;
};
