#include "ExportFilterObject.h"

#include "../AutomationMembers.h"

#include <QSaveFile>

namespace {

// Reads a property value as `type`, within [low, high]; an empty text on success.
QString numberIn(const QVariant &value, ArgType type, double low, double high, QVariant *out)
{
    if (!BuiltinObject::convertArgument(value, type, out))
        return QStringLiteral("%1 is not a number").arg(value.toString());
    const double v = out->toDouble();
    if (v < low || v > high)
        return QStringLiteral("%1 is outside %2 to %3").arg(v).arg(low).arg(high);
    return {};
}

QString flag(const QVariant &value, QVariant *out)
{
    if (!BuiltinObject::convertArgument(value, ArgType::Bool, out))
        return QStringLiteral("%1 is not true or false").arg(value.toString());
    return {};
}

} // namespace

ExportFilterObject::ExportFilterObject(HostDocument::Ptr document, QString path, bool selectionOnly)
    : BuiltinObject(QStringLiteral("ExportFilter")), doc(std::move(document)),
      path(std::move(path)), selectionOnly(selectionOnly)
{
    settings.pageWidth = doc->activePage->width;
    settings.pageHeight = doc->activePage->height;
    addMember(Member::Finish, Returns::Nothing, [this](const QVariantList &) {
        const QString error = finish();
        return error.isEmpty() ? CallResult::none() : CallResult::failure(error);
    });
}

QString ExportFilterObject::writeProperty(const QString &name, const QVariant &value)
{
    QVariant v;
    QString error;
    if (name == QLatin1String("PenLibIndex") || name == QLatin1String("FillAngle") ||
        name == QLatin1String("HatchAngle")) {
        // Pens come from outline colours and no fill is drawn, so these only need to be sane.
        error = numberIn(value, ArgType::Int, -360, 360, &v);
    } else if (name == QLatin1String("FillSpacing")) {
        error = numberIn(value, ArgType::Double, 0, 100, &v);
    } else if (name == QLatin1String("ExcludeWVC")) {
        error = flag(value, &v);
    } else if (name == QLatin1String("FitToPage")) {
        if ((error = flag(value, &v)).isEmpty())
            settings.fitToPage = v.toBool();
    } else if (name == QLatin1String("ScaleFactor")) {
        if ((error = numberIn(value, ArgType::Int, 1, 10000, &v)).isEmpty())
            settings.scalePercent = v.toInt();
    } else if (name == QLatin1String("PageWidth")) {
        if ((error = numberIn(value, ArgType::Double, 1e-3, 1000, &v)).isEmpty())
            settings.pageWidth = v.toDouble();
    } else if (name == QLatin1String("PageHeight")) {
        if ((error = numberIn(value, ArgType::Double, 1e-3, 1000, &v)).isEmpty())
            settings.pageHeight = v.toDouble();
    } else if (name == QLatin1String("CurveResolution")) {
        if ((error = numberIn(value, ArgType::Double, 1e-5, 1, &v)).isEmpty())
            settings.curveResolution = v.toDouble();
    } else if (name == QLatin1String("PlotterUnits")) {
        if ((error = numberIn(value, ArgType::Int, 1, 100000, &v)).isEmpty())
            settings.plotterUnits = v.toInt();
    } else if (name == QLatin1String("PlotterOrigin")) {
        if ((error = numberIn(value, ArgType::Int, 0, 1, &v)).isEmpty())
            settings.plotterOrigin = v.toInt();
    } else if (name == QLatin1String("FillType")) {
        // Hatching the fills would add strokes that are no contour; only "no fill" is offered.
        if ((error = numberIn(value, ArgType::Int, 0, 100, &v)).isEmpty() && v.toInt() != 0)
            error = QStringLiteral("only 0 (no fill) is supported");
    } else if (name == QLatin1String("RemoveHiddenLines") ||
               name == QLatin1String("AutomaticWeld")) {
        if ((error = flag(value, &v)).isEmpty() && v.toBool())
            error = QStringLiteral("only false is supported");
    } else {
        error = QStringLiteral("the HPGL export filter has no such property");
    }
    return error;
}

QString ExportFilterObject::finish()
{
    const QByteArray text = HpglExport::write(*doc, settings, selectionOnly);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}
