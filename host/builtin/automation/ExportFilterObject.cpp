#include "ExportFilterObject.h"

#include "../AutomationMembers.h"
#include "BusyWork.h"
#include "common/WholeFileWriter.h"

#include <QCoreApplication>

namespace {

// Reads a property value as `type`, within [low, high]; an empty text on success.
QString numberIn(const QVariant &value, ArgType type, double low, double high, QVariant *out)
{
    if (!BuiltinObject::convertArgument(value, type, out))
        return QStringLiteral("%1 is not a number").arg(value.toString());
    const double number = out->toDouble();
    if (number < low || number > high)
        return QStringLiteral("%1 is outside %2 to %3").arg(number).arg(low).arg(high);
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
    settings.pageWidth = doc->activePage->widthInches;
    settings.pageHeight = doc->activePage->heightInches;
    addMember(Member::Finish, Returns::Nothing, [this](const QVariantList &) {
        const QString error = finish();
        return error.isEmpty() ? CallResult::none() : CallResult::failure(error);
    });
}

QString ExportFilterObject::writeProperty(const QString &name, const QVariant &value)
{
    QVariant converted;
    QString error;
    if (name == QLatin1String("PenLibIndex") || name == QLatin1String("FillAngle") ||
        name == QLatin1String("HatchAngle")) {
        // Pens come from outline colours and no fill is drawn, so these only need to be sane.
        error = numberIn(value, ArgType::Int, -360, 360, &converted);
    } else if (name == QLatin1String("FillSpacing")) {
        error = numberIn(value, ArgType::Double, 0, 100, &converted);
    } else if (name == QLatin1String("ExcludeWVC")) {
        error = flag(value, &converted);
    } else if (name == QLatin1String("FitToPage")) {
        if ((error = flag(value, &converted)).isEmpty())
            settings.fitToPage = converted.toBool();
    } else if (name == QLatin1String("ScaleFactor")) {
        if ((error = numberIn(value, ArgType::Int, 1, 10000, &converted)).isEmpty())
            settings.scalePercent = converted.toInt();
    } else if (name == QLatin1String("PageWidth")) {
        if ((error = numberIn(value, ArgType::Double, 1e-3, 1000, &converted)).isEmpty())
            settings.pageWidth = converted.toDouble();
    } else if (name == QLatin1String("PageHeight")) {
        if ((error = numberIn(value, ArgType::Double, 1e-3, 1000, &converted)).isEmpty())
            settings.pageHeight = converted.toDouble();
    } else if (name == QLatin1String("CurveResolution")) {
        if ((error = numberIn(value, ArgType::Double, 1e-5, 1, &converted)).isEmpty())
            settings.curveResolution = converted.toDouble();
    } else if (name == QLatin1String("PlotterUnits")) {
        if ((error = numberIn(value, ArgType::Int, 1, 100000, &converted)).isEmpty())
            settings.plotterUnits = converted.toInt();
    } else if (name == QLatin1String("PlotterOrigin")) {
        if ((error = numberIn(value, ArgType::Int, 0, 1, &converted)).isEmpty())
            settings.plotterOrigin = converted.toInt();
    } else if (name == QLatin1String("FillType")) {
        // Hatching the fills would add strokes that are no contour; only "no fill" is offered.
        if ((error = numberIn(value, ArgType::Int, 0, 100, &converted)).isEmpty() &&
            converted.toInt() != 0)
            error = QStringLiteral("only 0 (no fill) is supported");
    } else if (name == QLatin1String("RemoveHiddenLines") ||
               name == QLatin1String("AutomaticWeld")) {
        if ((error = flag(value, &converted)).isEmpty() && converted.toBool())
            error = QStringLiteral("only false is supported");
    } else {
        error = QStringLiteral("the HPGL export filter has no such property");
    }
    return error;
}

QString ExportFilterObject::finish()
{
    QByteArray text;
    BusyWork::run(QCoreApplication::translate("HostWindow", "Exporting the contours"),
                  [&] { text = HpglExport::write(*doc, settings, selectionOnly); });
    const Result<> written = writeWholeFile(path, {text});
    return written ? QString() : written.error();
}
