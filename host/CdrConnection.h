#pragma once
// One conversation with the drawing host, made fresh for each command and released when it ends.
// Glossary: working layers are the five named layers this program owns in the user's document
// ("Assist Layer", "Mark Layer", "Extra Layer", "Cutting Layer", "Creasing Layer"); host lengths
// are inches with the page origin at the lower-left corner and y up; read-back results are
// plotter units (1/40 mm) with the origin at the page's top-left corner and y down.
//
// Every operation runs the host's opening steps, its own calls, then the closing steps. When the
// host answers a query with no object, the operation stops where it is, still runs its closing
// steps and returns a failure whose text is the warning for the user; detail() says which call.

#include "AutomationObject.h"
#include "HostSession.h"
#include "common/Result.h"
#include "common/Units.h"
#include "settings/Settings.h"

#include <QPoint>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// Mark layout in inches (the window's millimetre values converted). Defaults are the
// window's margins and marks; each within its box's range.
struct MarkLayout
{
    double topInches = mmToInches(Setting::TopMargin.value);
    double bottomInches = mmToInches(Setting::BottomMargin.value);
    double leftInches = mmToInches(Setting::LeftMargin.value);
    double rightInches = mmToInches(Setting::RightMargin.value);
    double markWidthInches = mmToInches(Setting::MarkWidth.value);
    double markHeightInches = mmToInches(Setting::MarkHeight.value);
    double markWeightInches = mmToInches(Setting::MarkWeight.value); // the marks' line width
};

class CdrConnection
{
public:
    // Program identifier as the window's `cdrVersion` shows it, one of Setting::CdrVersion's.
    explicit CdrConnection(const QString &programId);
    // Talks to an application object made elsewhere (tests wrap the host to record calls).
    explicit CdrConnection(AutomationHandle application);
    ~CdrConnection();
    CdrConnection(const CdrConnection &) = delete;
    CdrConnection &operator=(const CdrConnection &) = delete;

    // True when the host answered to the identifier; every command asks before any operation.
    bool isConnected() const;

    // For logs and the command line: which call the host did not answer and why after a failed
    // operation; after a successful one, what the host refused without harm (an export filter
    // property an older host lacks), else empty.
    QString detail() const;

    // Opens a drawing file in the host as its active document (the window's --document option).
    Result<> openDocument(const QString &filePath);

    // "Add Mark": assist outline, four corner marks and the extra mark, each on its layer.
    Result<> addMarks(const MarkLayout &layout = MarkLayout());

    // "Create Boundary" with "Create Cut Boundary" checked: "Cutting Layer" emptied or created,
    // the host's boundary of all selectable artwork put on it as hairline curves, one per
    // closed outline, and the layer locked.
    Result<> createCutBoundary();
    // "Create Boundary" without it: makes sure "Cutting Layer" exists, keeping its content.
    Result<> ensureCuttingLayer();

    // "Setup Print" with "Save PDF instead of Print": the print layer set-up (every layer
    // printable, then the assist, creasing and cutting layers not), the PDF settings, and the
    // host publishes the page to `filePath`.
    Result<> publishPdf(const QString &filePath);
    // "Setup Print" without it: the print layer set-up, then the host's print dialog, and the
    // page printed only when the user confirms it.
    Result<> printDocument();
    // The print layer set-up alone; a cancelled PDF file dialog still leaves it done.
    Result<> preparePrintLayers();

    // HPGL exports into `filePath` (the working file). The file is removed first, so an export
    // that writes nothing leaves no file rather than the previous export's paths.
    // "Cutting Layer" alone, enlarged five-fold about its bottom-left corner during the export.
    Result<> exportCuttingLayer(const QString &filePath);
    // The shapes of every printable layer, enlarged five-fold (blank-cut job). Layers keep the
    // lock state they had before, whether the export succeeds or not.
    Result<> exportPrintableShapes(const QString &filePath);
    // The page with only "Creasing Layer" printable, at its own size.
    Result<> exportCreasingLayer(const QString &filePath);

    // Mark centres on "Mark Layer" in plotter units, sorted by y then x (top-left, top-right,
    // bottom-left, bottom-right). Empty when the layer is missing.
    Result<QVector<QPoint>> readMarkCentres();
    // 0 no single extra mark or not aligned, 1 on the second mark's row, 2 in its column.
    Result<int> extraMarkPlacement();
    // Whether any layer other than the working layers holds a shape: the sheet has artwork.
    Result<bool> holdsArtwork();
    // Page size in plotter units.
    Result<int> pageHeightUnits();
    Result<int> pageWidthUnits();

    // The working-layer names, the contract between the drawing and the rest of the system.
    static const QString AssistLayer;
    static const QString MarkLayer;
    static const QString ExtraLayer;
    static const QString CuttingLayer;
    static const QString CreasingLayer;

    // The warning shown when the host answered a query with nothing (translated when asked for).
    static QString noAnswerText();

private:
    int placementAgainstMarks(const QPoint &extra);
    QVector<QPoint> markCentresOrStop();
    Result<int> pageSizeUnits(const char *sizeMember);
    // The opening steps, `body`, and the closing steps, with the shared failure handling; for
    // operations defined in files of their own, which cannot reach the connection's state.
    Result<> runSteps(const HostSession::Opening &opening, bool restoreLayer,
                      const std::function<void(HostSession &)> &body);

    struct State;
    std::unique_ptr<State> d;
};
