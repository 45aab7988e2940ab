#include "BuiltinObject.h"

#include "BuiltinHost.h"
#include "HostLog.h"
#include "NullObject.h"

#include <QDebug>
#include <cmath>

Q_LOGGING_CATEGORY(builtinHostLog, "vexa.host", QtInfoMsg)

namespace {

struct ParsedSignature
{
    QByteArray name;
    QVector<QByteArray> params;
    bool hasParens = false;
    bool valid = true;
};

ParsedSignature parseSignature(const char *signature)
{
    ParsedSignature parsed;
    const QByteArray text = QByteArray(signature).trimmed();
    const int open = text.indexOf('(');
    if (open < 0) {
        parsed.name = text;
        parsed.valid = !text.isEmpty();
        return parsed;
    }
    parsed.hasParens = true;
    parsed.name = text.left(open).trimmed();
    if (!text.endsWith(')') || parsed.name.isEmpty()) {
        parsed.valid = false;
        return parsed;
    }
    const QByteArray inner = text.mid(open + 1, text.size() - open - 2).trimmed();
    if (inner.isEmpty())
        return parsed;
    for (const QByteArray &p : inner.split(','))
        parsed.params.append(p.trimmed());
    return parsed;
}

bool typeOf(QByteArray param, ArgType *type)
{
    param = param.trimmed();
    if (param.startsWith("const "))
        param = param.mid(6);
    if (param.endsWith('&'))
        param.chop(1);
    param = param.trimmed();
    if (param == "bool")
        *type = ArgType::Bool;
    else if (param == "int" || param == "enum" || param == "long" || param == "short")
        *type = ArgType::Int;
    else if (param == "double" || param == "float")
        *type = ArgType::Double;
    else if (param == "QString")
        *type = ArgType::String;
    else if (param == "QVariant")
        *type = ArgType::Variant;
    else
        return false;
    return true;
}

bool isNumber(const QVariant &v)
{
    switch (static_cast<int>(v.type())) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

// A number from a numeric, boolean or numeric-text value; COM's VARIANT_TRUE is -1.
bool numberOf(const QVariant &in, double *out)
{
    if (in.type() == QVariant::Bool) {
        *out = in.toBool() ? -1.0 : 0.0;
        return true;
    }
    bool ok = false;
    if (isNumber(in))
        *out = in.toDouble(&ok);
    else if (in.type() == QVariant::String)
        *out = in.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(*out);
}

QString describe(const QVariantList &args)
{
    QStringList parts;
    for (const QVariant &a : args)
        parts << (a.isValid() ? QStringLiteral("%1 %2").arg(a.typeName(), a.toString())
                              : QStringLiteral("<empty>"));
    return parts.join(QStringLiteral(", "));
}

} // namespace

bool BuiltinObject::convertArgument(const QVariant &in, ArgType type, QVariant *out)
{
    if (type == ArgType::Variant) {
        *out = in;
        return true;
    }
    if (!in.isValid())
        return false;
    if (type == ArgType::String) {
        if (in.type() == QVariant::String || isNumber(in)) {
            *out = in.toString();
            return true;
        }
        return false;
    }
    if (type == ArgType::Bool && in.type() == QVariant::String) {
        const QString text = in.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("false")) {
            *out = text == QLatin1String("true");
            return true;
        }
    }
    double number = 0;
    if (!numberOf(in, &number))
        return false;
    switch (type) {
    case ArgType::Bool:
        *out = number != 0.0;
        return true;
    case ArgType::Int:
        // COM rounds half to even when it narrows a double.
        if (std::fabs(number) > 2147483647.0)
            return false;
        *out = static_cast<int>(std::nearbyint(number));
        return true;
    case ArgType::Double:
        *out = number;
        return true;
    default:
        return false;
    }
}

void BuiltinObject::addMember(const char *signature, Returns returns, Handler handler)
{
    const ParsedSignature parsed = parseSignature(signature);
    MemberDef member;
    member.name = parsed.name;
    member.returns = returns;
    member.handler = std::move(handler);
    for (const QByteArray &p : parsed.params) {
        ArgType type = ArgType::Variant;
        const bool known = typeOf(p, &type);
        Q_ASSERT_X(known, signature, "unknown parameter type in a member signature");
        member.params.append(type);
    }
    members.append(member);
}

const BuiltinObject::MemberDef *BuiltinObject::findMember(const QByteArray &name) const
{
    for (const MemberDef &m : members) {
        if (m.name == name)
            return &m;
    }
    return nullptr;
}

void BuiltinObject::fail(const QString &why)
{
    lastError = why;
    qCDebug(builtinHostLog, "%s", qPrintable(why));
}

CallResult BuiltinObject::invoke(const char *signature, const QVariantList &args, bool wantObject)
{
    const ParsedSignature parsed = parseSignature(signature);
    const MemberDef *member = parsed.valid ? findMember(parsed.name) : nullptr;
    const QString where = QStringLiteral("%1.%2").arg(kindName, QString::fromLatin1(signature));
    if (!member)
        return CallResult::failure(QStringLiteral("%1: no such member").arg(where));
    if ((parsed.hasParens && parsed.params.size() != args.size()) ||
        member->params.size() != args.size())
        return CallResult::failure(QStringLiteral("%1: expects %2 argument(s), got %3")
                                       .arg(where)
                                       .arg(member->params.size())
                                       .arg(args.size()));
    if (wantObject && member->returns != Returns::Object)
        return CallResult::failure(QStringLiteral("%1: does not answer an object").arg(where));
    QVariantList converted;
    for (int i = 0; i < args.size(); ++i) {
        QVariant value;
        if (!convertArgument(args.at(i), member->params.at(i), &value))
            return CallResult::failure(QStringLiteral("%1: argument %2 (%3) cannot be converted")
                                           .arg(where)
                                           .arg(i + 1)
                                           .arg(describe({args.at(i)})));
        converted.append(value);
    }
    CallResult result = member->handler(converted);
    if (result.error.isEmpty() && member->returns == Returns::Object && !result.object)
        result.error = QStringLiteral("%1: answered no object").arg(where);
    if (!result.error.isEmpty() && !result.error.startsWith(kindName))
        result.error = QStringLiteral("%1: %2").arg(where, result.error);
    return result;
}

QVariant BuiltinObject::dynamicCall(const char *signature, const QVariantList &args)
{
    CallResult result = invoke(signature, args, false);
    BuiltinHost::instance().documentChanged();
    if (!result.error.isEmpty()) {
        fail(result.error);
        return {};
    }
    lastError.clear();
    if (result.object && result.object->isNull())
        return {}; // Nothing, as COM answers it: no object, yet no failure either
    if (result.object) {
        auto *object = dynamic_cast<BuiltinObject *>(result.object.get());
        return QVariant::fromValue(BuiltinObjectToken{object ? object->kind() : QString()});
    }
    return result.value;
}

AutomationHandle BuiltinObject::querySubObject(const char *signature, const QVariantList &args)
{
    CallResult result = invoke(signature, args, true);
    BuiltinHost::instance().documentChanged();
    if (!result.error.isEmpty()) {
        fail(result.error);
        return std::make_unique<NullObject>(result.error);
    }
    lastError.clear();
    return std::move(result.object);
}

bool BuiltinObject::setProperty(const char *name, const QVariant &value)
{
    const QString error = writeProperty(QString::fromLatin1(name), value);
    BuiltinHost::instance().documentChanged();
    if (!error.isEmpty()) {
        fail(QStringLiteral("%1.%2: %3").arg(kindName, QLatin1String(name), error));
        return false;
    }
    lastError.clear();
    return true;
}

QString BuiltinObject::writeProperty(const QString &, const QVariant &)
{
    return QStringLiteral("no such property");
}
