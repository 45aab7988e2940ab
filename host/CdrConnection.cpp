#include "CdrConnection.h"

#include "AutomationMembers.h"
#include "HostNoAnswer.h"
#include "HostSession.h"
#include "MarkDrawing.h"
#include "WorkingLayers.h"
#include "common/Units.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <limits>

const QString CdrConnection::AssistLayer = QLatin1String(WorkingLayers::Assist);
const QString CdrConnection::MarkLayer = QLatin1String(WorkingLayers::Mark);
const QString CdrConnection::ExtraLayer = QLatin1String(WorkingLayers::Extra);
const QString CdrConnection::CuttingLayer = QLatin1String(WorkingLayers::Cutting);
const QString CdrConnection::CreasingLayer = QLatin1String(WorkingLayers::Creasing);

QString CdrConnection::noAnswerText()
{
    return QCoreApplication::translate("CdrConnection", "CorelDraw没有响应, 操作已取消.");
}

namespace {
constexpr int BottomLeft = 5; // the host's reference-point number for the selection's corner

// Host inches to plotter units: add a half and truncate toward zero.
int toUnits(double inches)
{
    const double units = std::trunc(inchesToMm(inches) * UNITS_PER_MM + 0.5);
    if (!std::isfinite(units) || std::fabs(units) > std::numeric_limits<int>::max())
        throw HostNoAnswer{QStringLiteral("position out of range")};
    return static_cast<int>(units);
}

// Sorted by y, then x: neighbour swaps until a pass makes none, so equal points keep their order.
void sortMarks(QVector<QPoint> &marks)
{
    std::stable_sort(marks.begin(), marks.end(), [](const QPoint &a, const QPoint &b) {
        return a.y() < b.y() || (a.y() == b.y() && a.x() < b.x());
    });
}

// Runs one operation between the opening and closing steps; a host that answers nothing stops
// the operation, the closing steps still run, and the failure goes back to the command to show.
// `detail` gets which call failed, or the session's notes on success.
template <typename Body>
Result<> runOperation(AutomationObject *app, QString &detail, const HostSession::Opening &opening,
                      bool restoreLayer, Body body)
{
    detail.clear();
    if (!app || app->isNull()) {
        detail = QStringLiteral("not connected");
        return Failure{CdrConnection::noAnswerText()};
    }
    HostSession session(*app);
    Result<> outcome;
    try {
        session.open(opening);
        body(session);
        detail = session.notes().join(QStringLiteral("; "));
    } catch (const HostNoAnswer &failure) {
        detail = failure.detail;
        outcome = Failure{failure.explained.isEmpty() ? CdrConnection::noAnswerText()
                                                      : failure.explained};
    }
    session.close(restoreLayer);
    return outcome;
}

// The operation's value, or its failure.
template <typename T> Result<T> valueOf(const Result<> &done, T value)
{
    if (!done)
        return Failure{done.error()};
    return value;
}

// Filter properties without which the exported paths would not be the drawing's own.
const QStringList GeometryProperties{"FitToPage",    "ScaleFactor",     "PageWidth",
                                     "PageHeight",   "CurveResolution", "PlotterUnits",
                                     "PlotterOrigin"};

// The export step shared by the three exports: page size, option structures, the HPGL filter
// and its settings in the order the filter takes them, then Finish() writes the file.
void exportStep(HostSession &session, const QString &filePath)
{
    const double width = HostSession::readDouble(session.page(), Member::SizeWidth);
    const double height = HostSession::readDouble(session.page(), Member::SizeHeight);
    const QVariant options =
        HostSession::read(session.application(), Member::CreateStructExportOptions);
    const QVariant palette =
        HostSession::read(session.application(), Member::CreateStructPaletteOptions);
    AutomationHandle filter = HostSession::query(
        session.document(), Member::ExportEx, {filePath, HPGL_EXPORT_FILTER, 0, options, palette});
    const std::pair<const char *, QVariant> settings[] = {
        {"PenLibIndex", 0},           {"FitToPage", false},
        {"ScaleFactor", 100},         {"PageWidth", width},
        {"PageHeight", height},       {"FillType", 0},
        {"FillSpacing", 0.005},       {"FillAngle", 0},
        {"HatchAngle", 90},           {"CurveResolution", 0.00025},
        {"RemoveHiddenLines", false}, {"AutomaticWeld", false},
        {"ExcludeWVC", false},        {"PlotterUnits", 1016},
        {"PlotterOrigin", 1},
    };
    // A host version may lack a property; the export goes on unless the property decides where
    // the paths land or how finely curves are cut.
    QStringList refused;
    bool geometryAtRisk = false;
    for (const auto &setting : settings) {
        if (filter->setProperty(setting.first, setting.second))
            continue;
        const QString name = QString::fromLatin1(setting.first);
        refused << name;
        geometryAtRisk = geometryAtRisk || GeometryProperties.contains(name);
    }
    if (!refused.isEmpty()) {
        const QString detail =
            QStringLiteral("export filter refused %1").arg(refused.join(QStringLiteral(", ")));
        if (geometryAtRisk)
            throw HostNoAnswer{detail};
        session.note(detail);
    }
    HostSession::callExplained(
        *filter, Member::Finish, {},
        QCoreApplication::translate("CdrConnection", "切割文件无法导出: %1"));
}

// Five-fold stretch about the bottom-left corner, the export, and the stretch back; the shapes
// regain their size even when the export fails half-way.
void enlargedExport(HostSession &session, AutomationObject &selection, const QString &filePath)
{
    HostSession::call(session.document(), Member::SetReferencePoint, {BottomLeft});
    HostSession::call(selection, Member::Stretch, {EXPORT_SCALE});
    try {
        exportStep(session, filePath);
    } catch (const HostNoAnswer &) {
        selection.dynamicCall(Member::Stretch, {1.0 / EXPORT_SCALE});
        throw;
    }
    HostSession::call(selection, Member::Stretch, {1.0 / EXPORT_SCALE});
}

// Empties the selection, then selects the given range: artwork the user had selected must not
// be stretched or combined with what the operation adds.
AutomationHandle selectOnly(HostSession &session, AutomationObject &range)
{
    HostSession::call(session.document(), Member::ClearSelection);
    HostSession::call(range, Member::AddToSelection);
    return HostSession::query(session.application(), Member::ActiveSelection);
}

// Gives layers back the lock state they had; runs on the failure path too, so it never stops.
void setEditable(HostSession &session, const QVector<int> &indexes, bool editable) noexcept
{
    for (int i : indexes) {
        AutomationHandle layer = session.layers().querySubObject(Member::Item, {i});
        if (layer && !layer->isNull())
            layer->dynamicCall(Member::SetEditable, {editable});
    }
}

QPoint centreUnits(AutomationObject &shape, double pageHeight)
{
    const double x = HostSession::readDouble(shape, Member::CenterX);
    const double y = HostSession::readDouble(shape, Member::CenterY);
    return QPoint(toUnits(x), toUnits(pageHeight - y));
}
} // namespace

struct CdrConnection::State
{
    AutomationHandle app;
    bool connected = false;
    QString detail; // of the last operation
};

CdrConnection::CdrConnection(const QString &programId)
    : CdrConnection(createAutomationApplication(programId))
{
}

CdrConnection::CdrConnection(AutomationHandle application) : d(std::make_unique<State>())
{
    d->app = std::move(application);
    d->connected = d->app && !d->app->isNull();
    if (d->connected)
        d->app->dynamicCall(Member::SetVisible, {true});
}

CdrConnection::~CdrConnection() = default;

bool CdrConnection::isConnected() const
{
    return d->connected;
}

QString CdrConnection::detail() const
{
    return d->detail;
}

Result<> CdrConnection::openDocument(const QString &filePath)
{
    d->detail.clear();
    if (!d->connected) {
        d->detail = QStringLiteral("not connected");
        return Failure{noAnswerText()};
    }
    AutomationHandle document = d->app->querySubObject(Member::OpenDocument, {filePath});
    if (document && !document->isNull())
        return {};
    d->detail = d->app->errorText();
    return Failure{QCoreApplication::translate("CdrConnection", "无法打开文档 %1: %2")
                       .arg(filePath, d->detail)};
}

Result<> CdrConnection::addMarks(const MarkLayout &layout)
{
    HostSession::Opening opening;
    opening.width = opening.height = true;
    return runOperation(d->app.get(), d->detail, opening, true, [&](HostSession &session) {
        const bool assist = session.findLayer(AssistLayer);
        const bool mark = session.findLayer(MarkLayer);
        const bool extra = session.findLayer(ExtraLayer);
        MarkDrawing drawing(session, layout);
        AutomationHandle layer = session.prepareLayer(AssistLayer, assist);
        relockOnFailure(*layer, [&] { drawing.drawAssistOutline(*layer); });
        layer = session.prepareLayer(MarkLayer, mark);
        relockOnFailure(*layer, [&] { drawing.drawCornerMarks(*layer); });
        layer = session.prepareLayer(ExtraLayer, extra);
        relockOnFailure(*layer, [&] { drawing.drawExtraMark(*layer); });
    });
}

Result<> CdrConnection::exportCuttingLayer(const QString &filePath)
{
    QFile::remove(filePath);
    HostSession::Opening opening;
    opening.width = opening.height = true;
    return runOperation(d->app.get(), d->detail, opening, true, [&](HostSession &session) {
        const bool found = session.findLayer(CuttingLayer);
        for (int i = 1; i <= session.layerCount(); ++i)
            HostSession::call(*HostSession::query(session.layers(), Member::Item, {i}),
                              Member::SetPrintable, {false});
        if (!found)
            return;
        AutomationHandle layer = session.layerByName(CuttingLayer);
        HostSession::call(*layer, Member::SetEditable, {true});
        HostSession::call(*layer, Member::SetPrintable, {true});
        AutomationHandle shapes = HostSession::query(*layer, Member::Shapes);
        AutomationHandle all = HostSession::query(*shapes, Member::All);
        enlargedExport(session, *selectOnly(session, *all), filePath);
    });
}

Result<> CdrConnection::exportPrintableShapes(const QString &filePath)
{
    QFile::remove(filePath);
    HostSession::Opening opening;
    opening.layerName = false;
    opening.width = opening.height = true;
    return runOperation(d->app.get(), d->detail, opening, false, [&](HostSession &session) {
        // Printable layers that were locked are locked again afterwards. Editable layers that do
        // not print are locked for the export: their shapes would widen the box the stretch is
        // taken about without being exported, and the job would land beside the artwork.
        QVector<int> unlocked, hidden;
        try {
            for (int i = 1; i <= session.layerCount(); ++i) {
                AutomationHandle layer = HostSession::query(session.layers(), Member::Item, {i});
                const bool printable = HostSession::read(*layer, Member::Printable).toBool();
                const bool editable = HostSession::read(*layer, Member::Editable).toBool();
                if (printable && !editable)
                    unlocked.append(i);
                if (!printable && editable)
                    hidden.append(i);
                if (printable || editable)
                    HostSession::call(*layer, Member::SetEditable, {printable});
            }
            AutomationHandle shapes = HostSession::query(session.page(), Member::SelectableShapes);
            AutomationHandle all = HostSession::query(*shapes, Member::All);
            enlargedExport(session, *selectOnly(session, *all), filePath);
        } catch (const HostNoAnswer &) {
            setEditable(session, unlocked, false);
            setEditable(session, hidden, true);
            throw;
        }
        setEditable(session, unlocked, false);
        setEditable(session, hidden, true);
    });
}

Result<> CdrConnection::exportCreasingLayer(const QString &filePath)
{
    QFile::remove(filePath);
    HostSession::Opening opening;
    opening.width = opening.height = true;
    return runOperation(d->app.get(), d->detail, opening, true, [&](HostSession &session) {
        const bool found = session.findLayer(CreasingLayer);
        for (int i = 1; i <= session.layerCount(); ++i)
            HostSession::call(*HostSession::query(session.layers(), Member::Item, {i}),
                              Member::SetPrintable, {false});
        if (found)
            HostSession::call(*session.layerByName(CreasingLayer), Member::SetPrintable, {true});
        exportStep(session, filePath);
    });
}

Result<QVector<QPoint>> CdrConnection::readMarkCentres()
{
    HostSession::Opening opening;
    opening.height = true;
    QVector<QPoint> marks;
    const Result<> done =
        runOperation(d->app.get(), d->detail, opening, true, [&](HostSession &session) {
            if (!session.findLayer(MarkLayer))
                return;
            AutomationHandle layer = session.layerByName(MarkLayer);
            HostSession::call(*layer, Member::Activate);
            HostSession::call(*layer, Member::SetEditable, {true});
            relockOnFailure(*layer, [&] {
                AutomationHandle shapes = HostSession::query(*layer, Member::Shapes);
                const int count = HostSession::read(*shapes, Member::Count).toInt();
                for (int i = 1; i <= count; ++i)
                    marks.append(centreUnits(*HostSession::query(*shapes, Member::Item, {i}),
                                             session.pageHeightInches()));
            });
            HostSession::call(*layer, Member::SetEditable, {false});
        });
    sortMarks(marks);
    return valueOf(done, marks);
}

Result<int> CdrConnection::extraMarkPlacement()
{
    HostSession::Opening opening;
    opening.height = true;
    int placement = 0;
    const Result<> done =
        runOperation(d->app.get(), d->detail, opening, true, [&](HostSession &session) {
            if (!session.findLayer(ExtraLayer))
                return;
            AutomationHandle layer = session.layerByName(ExtraLayer);
            HostSession::call(*layer, Member::Activate);
            HostSession::call(*layer, Member::SetEditable, {true});
            relockOnFailure(*layer, [&] {
                AutomationHandle shapes = HostSession::query(*layer, Member::Shapes);
                if (HostSession::read(*shapes, Member::Count).toInt() != 1)
                    return;
                const QPoint extra = centreUnits(*HostSession::query(*shapes, Member::Item, {1}),
                                                 session.pageHeightInches());
                placement = placementAgainstMarks(extra);
            });
            HostSession::call(*layer, Member::SetEditable, {false});
        });
    return valueOf(done, placement);
}

// The extra mark against the second mark (top-right): 1 on its row, 2 in its column; fewer than
// two marks give 0. The marks are read in operations of their own while "Extra Layer" is open,
// once for the row and again for the column.
int CdrConnection::placementAgainstMarks(const QPoint &extra)
{
    const QVector<QPoint> marks = markCentresOrStop();
    if (marks.size() < 2)
        return 0;
    if (marks.at(1).y() == extra.y())
        return 1;
    const QVector<QPoint> again = markCentresOrStop();
    return again.size() >= 2 && again.at(1).x() == extra.x() ? 2 : 0;
}

// The mark read-back inside another operation: its failure stops that operation too.
QVector<QPoint> CdrConnection::markCentresOrStop()
{
    Result<QVector<QPoint>> marks = readMarkCentres();
    if (!marks)
        throw HostNoAnswer{d->detail};
    return std::move(marks).value();
}

Result<bool> CdrConnection::holdsArtwork()
{
    HostSession::Opening opening;
    opening.activeLayer = false;
    opening.layerName = false;
    bool artwork = false;
    const Result<> done =
        runOperation(d->app.get(), d->detail, opening, false, [&](HostSession &session) {
            const QStringList working{AssistLayer, MarkLayer, ExtraLayer, CuttingLayer,
                                      CreasingLayer};
            for (int i = 1; i <= session.layerCount() && !artwork; ++i) {
                AutomationHandle layer = HostSession::query(session.layers(), Member::Item, {i});
                if (working.contains(HostSession::read(*layer, Member::Name).toString()))
                    continue;
                AutomationHandle shapes = HostSession::query(*layer, Member::Shapes);
                artwork = HostSession::read(*shapes, Member::Count).toInt() > 0;
            }
        });
    return valueOf(done, artwork);
}

Result<int> CdrConnection::pageHeightUnits()
{
    return pageSizeUnits(Member::SizeHeight);
}

Result<int> CdrConnection::pageWidthUnits()
{
    return pageSizeUnits(Member::SizeWidth);
}

Result<int> CdrConnection::pageSizeUnits(const char *sizeMember)
{
    HostSession::Opening opening;
    opening.activeLayer = false;
    opening.layers = false;
    int units = 0;
    const Result<> done =
        runOperation(d->app.get(), d->detail, opening, false, [&](HostSession &session) {
            units = toUnits(HostSession::readDouble(session.page(), sizeMember));
        });
    return valueOf(done, units);
}

Result<> CdrConnection::runSteps(const HostSession::Opening &opening, bool restoreLayer,
                                 const std::function<void(HostSession &)> &body)
{
    return runOperation(d->app.get(), d->detail, opening, restoreLayer, body);
}
