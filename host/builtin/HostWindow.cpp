#include "HostWindow.h"

#include "BuiltinHost.h"
#include "BusyWork.h"
#include "HostPageView.h"
#include "HostSettings.h"
#include "svg/SvgDocumentReader.h"
#include "svg/SvgDocumentWriter.h"

#include <QAction>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <optional>

namespace {

// The column beside the page; the page takes the rest of the width.
constexpr int SideWidth = 190;

QAction *addFileAction(QMenu *menu, const QString &text, const char *name, const QString &keys)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(QKeySequence(keys));
    return action;
}

// How often the status bar looks at the running work's progress.
constexpr int ProgressPollMs = 100;

} // namespace

HostWindow::HostWindow(QWidget *parent)
    : QMainWindow(parent), page(new HostPageView), layers(new QListWidget),
      notesTitle(new QLabel(tr("Notes from reading the file"))), notes(new QListWidget),
      markNoteLabel(new QLabel)
{
    resize(700, 700);
    QMenu *file = menuBar()->addMenu(tr("&File"));
    connect(addFileAction(file, tr("&Open..."), "actionOpen", QStringLiteral("Ctrl+O")),
            &QAction::triggered, this, &HostWindow::open);
    connect(addFileAction(file, tr("&Save"), "actionSave", QStringLiteral("Ctrl+S")),
            &QAction::triggered, this, &HostWindow::save);
    connect(addFileAction(file, tr("Save &As..."), "actionSaveAs", QStringLiteral("Ctrl+Shift+S")),
            &QAction::triggered, this, &HostWindow::saveAs);
    buildViewMenu();
    buildToolBar();
    buildStatusBar();

    layers->setObjectName(QStringLiteral("layers"));
    layers->setWordWrap(true);
    layers->setSelectionMode(QAbstractItemView::NoSelection);
    notes->setObjectName(QStringLiteral("notes"));
    notes->setWordWrap(true);
    notes->setSelectionMode(QAbstractItemView::NoSelection);
    auto *side = new QWidget;
    side->setFixedWidth(SideWidth);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(4, 4, 4, 4);
    sideLayout->addWidget(new QLabel(tr("Layers (top first)")));
    sideLayout->addWidget(layers, 2);
    markNoteLabel->setObjectName(QStringLiteral("markNotes"));
    markNoteLabel->setWordWrap(true);
    markNoteLabel->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    sideLayout->addWidget(markNoteLabel);
    sideLayout->addWidget(notesTitle);
    sideLayout->addWidget(notes, 1);

    auto *central = new QWidget;
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(page, 1);
    row->addWidget(side);
    setCentralWidget(central);

    refreshTimer.setSingleShot(true);
    refreshTimer.setInterval(0);
    connect(&refreshTimer, &QTimer::timeout, this, &HostWindow::refreshNow);
    BuiltinHost &host = BuiltinHost::instance();
    connect(&host, &BuiltinHost::activeDocumentUpdated, this, &HostWindow::showDocument);
    connect(&host, &BuiltinHost::documentEdited, this, &HostWindow::scheduleRefresh);
    connect(&host, &BuiltinHost::workStarted, this, &HostWindow::workStarted);
    connect(&host, &BuiltinHost::workFinished, this, &HostWindow::workFinished);
    refreshNow();
}

void HostWindow::buildViewMenu()
{
    QMenu *view = menuBar()->addMenu(tr("&View"));
    const struct
    {
        QString text;
        const char *name;
        QKeySequence keys;
        void (HostPageView::*slot)();
    } zooms[] = {{tr("Zoom &In"), "actionZoomIn", QKeySequence::ZoomIn, &HostPageView::zoomIn},
                 {tr("Zoom &Out"), "actionZoomOut", QKeySequence::ZoomOut, &HostPageView::zoomOut},
                 {tr("&Fit Page"), "actionFitPage", QKeySequence(QStringLiteral("Ctrl+0")),
                  &HostPageView::fitPage},
                 {tr("&Actual Size (100 %)"), "actionActualSize",
                  QKeySequence(QStringLiteral("Ctrl+1")), &HostPageView::actualSize}};
    for (const auto &zoom : zooms) {
        QAction *action = view->addAction(zoom.text);
        action->setObjectName(QLatin1String(zoom.name));
        // Ctrl+= as well as Ctrl++: the plus sign needs Shift on most keyboards.
        action->setShortcuts(zoom.slot == &HostPageView::zoomIn
                                 ? QList<QKeySequence>{zoom.keys, QKeySequence("Ctrl+=")}
                                 : QList<QKeySequence>{zoom.keys});
        connect(action, &QAction::triggered, page, zoom.slot);
    }
    view->addSeparator();
    const struct
    {
        QString text;
        const char *name;
        HostSettings::Overlay overlay;
    } switches[] = {{tr("&Cut Lines"), "actionCutLines", HostSettings::Overlay::CutLines},
                    {tr("C&rease Lines"), "actionCreaseLines", HostSettings::Overlay::CreaseLines},
                    {tr("&Mark Zones"), "actionMarkZones", HostSettings::Overlay::MarkZones}};
    for (const auto &overlay : switches) {
        QAction *action = view->addAction(overlay.text);
        action->setObjectName(QLatin1String(overlay.name));
        action->setCheckable(true);
        action->setChecked(page->overlayShown(overlay.overlay));
        const HostSettings::Overlay which = overlay.overlay;
        connect(action, &QAction::toggled, this, [this, which](bool on) {
            page->setOverlayShown(which, on);
            keepSetting(HostSettings::setShows(which, on));
        });
    }
}

void HostWindow::buildToolBar()
{
    QToolBar *bar = addToolBar(tr("Boundary"));
    bar->setObjectName(QStringLiteral("boundaryToolBar"));
    bar->setMovable(false);
    auto *label = new QLabel(tr("Cut margin (mm)"));
    label->setContentsMargins(6, 0, 4, 0);
    bar->addWidget(label);
    cutMargin = new QDoubleSpinBox;
    cutMargin->setObjectName(QStringLiteral("cutMarginDspbx"));
    cutMargin->setRange(Setting::CutMargin.min, Setting::CutMargin.max);
    cutMargin->setSingleStep(Setting::CutMargin.step);
    cutMargin->setDecimals(1);
    cutMargin->setToolTip(tr("How far \"Create Boundary\" cuts outside the art, so that a "
                             "slight misregistration shows no white edge"));
    cutMargin->setValue(HostSettings::cutMarginMm());
    label->setBuddy(cutMargin);
    bar->addWidget(cutMargin);
    connect(cutMargin, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            [this](double mm) { keepSetting(HostSettings::setCutMarginMm(mm)); });
    auto *bleedLabel = new QLabel(tr("Print bleed (mm)"));
    bleedLabel->setContentsMargins(10, 0, 4, 0);
    bar->addWidget(bleedLabel);
    auto *bleed = new QDoubleSpinBox;
    bleed->setObjectName(QStringLiteral("bleedDspbx"));
    bleed->setRange(Setting::Bleed.min, Setting::Bleed.max);
    bleed->setSingleStep(Setting::Bleed.step);
    bleed->setDecimals(1);
    bleed->setToolTip(tr("How far \"Create Boundary\" runs the print on past each contour in "
                         "the art's edge colours, so that a cut on the art's edge shows no "
                         "white edge"));
    bleed->setValue(HostSettings::bleedMm());
    bleedLabel->setBuddy(bleed);
    bar->addWidget(bleed);
    connect(bleed, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            [this](double mm) { keepSetting(HostSettings::setBleedMm(mm)); });
}

void HostWindow::buildStatusBar()
{
    stepLabel = new QLabel;
    stepLabel->setObjectName(QStringLiteral("stepLabel"));
    statusBar()->addWidget(stepLabel, 1);
    progress = new QProgressBar;
    progress->setObjectName(QStringLiteral("workProgress"));
    progress->setMaximumWidth(160);
    progress->setTextVisible(false);
    progress->hide();
    statusBar()->addPermanentWidget(progress);
    unsavedLabel = new QLabel(tr("Unsaved changes"));
    unsavedLabel->setObjectName(QStringLiteral("unsavedLabel"));
    unsavedLabel->hide();
    statusBar()->addPermanentWidget(unsavedLabel);
    progressTimer.setInterval(ProgressPollMs);
    connect(&progressTimer, &QTimer::timeout, this, &HostWindow::showProgress);
}

void HostWindow::showStep(const QString &step)
{
    savedStepShown = false;
    stepLabel->setText(step);
}

void HostWindow::keepSetting(const Result<> &written)
{
    if (!written)
        showStep(tr("Not saved: %1").arg(written.error()));
}

void HostWindow::showProgress()
{
    int done = 0, total = 0;
    BusyWork::currentProgress(&done, &total);
    // Work without steps shows a bar that only says it is alive.
    progress->setRange(0, total);
    progress->setValue(total > 0 ? done : 0);
}

void HostWindow::workStarted(const QString &step)
{
    showStep(tr("%1...").arg(step));
    showProgress();
    progress->show();
    progressTimer.start();
}

void HostWindow::workFinished(const QString &step)
{
    progressTimer.stop();
    progress->hide();
    showStep(tr("%1: done").arg(step));
    // Changes made while the work ran were held back.
    scheduleRefresh();
}

QStringList HostWindow::markNotes() const
{
    return MarkZones::artNotes(page->markZones());
}

void HostWindow::showDocument(const HostDocument::Ptr &document)
{
    doc = document;
    refreshNow();
}

void HostWindow::scheduleRefresh()
{
    refreshTimer.start();
}

void HostWindow::refreshNow()
{
    refreshTimer.stop();
    // The document is being worked on off this thread: refresh once the work is done.
    if (BusyWork::running())
        return;
    // Written once for the page's picture and the unsaved mark: a big sheet's text takes time.
    const QByteArray svg = doc ? SvgDocumentWriter::toSvg(*doc) : QByteArray();
    page->setDocument(doc, svg);
    const QStringList markNoteLines = markNotes();
    markNoteLabel->setText(markNoteLines.join(QLatin1Char('\n')));
    markNoteLabel->setVisible(!markNoteLines.isEmpty());
    layers->clear();
    layers->addItems(layerLines());
    notes->clear();
    if (doc)
        notes->addItems(doc->notes);
    notesTitle->setVisible(notes->count() > 0);
    notes->setVisible(notes->count() > 0);
    const bool modified = BuiltinHost::instance().isModified(doc, svg);
    setWindowTitle(doc ? QStringLiteral("%1%2 - Drawing")
                             .arg(documentName(), modified ? QStringLiteral("*") : QString())
                       : QStringLiteral("Drawing"));
    unsavedLabel->setVisible(modified);
    // "Saved" is no longer true once the document changed again.
    if (modified && savedStepShown)
        showStep(tr("Changed since saved"));
    findChild<QAction *>(QStringLiteral("actionSave"))->setEnabled(doc != nullptr);
    findChild<QAction *>(QStringLiteral("actionSaveAs"))->setEnabled(doc != nullptr);
}

QString HostWindow::documentName() const
{
    return doc && !doc->filePath.isEmpty() ? QFileInfo(doc->filePath).fileName()
                                           : QStringLiteral("Untitled");
}

QStringList HostWindow::layerLines() const
{
    QStringList lines;
    if (!doc)
        return lines;
    const QList<HostLayer::Ptr> &list = doc->activePage->layers;
    for (int i = list.size() - 1; i >= 0; --i) {
        const HostLayer &layer = *list.at(i);
        QStringList states;
        if (!layer.visible)
            states << QStringLiteral("hidden");
        if (!layer.editable)
            states << QStringLiteral("locked");
        if (!layer.printable)
            states << QStringLiteral("not printing");
        states << QStringLiteral("%1 shape(s)").arg(layer.shapes.size());
        const QString active = list.at(i) == doc->activeLayer ? QStringLiteral("> ") : QString();
        lines << QStringLiteral("%1%2: %3")
                     .arg(active, layer.name, states.join(QStringLiteral(", ")));
    }
    return lines;
}

QString HostWindow::chooseFile(FileQuestion question)
{
    if (fileChooser)
        return fileChooser(question);
    const QString folder = doc && !doc->filePath.isEmpty() ? doc->filePath : QString();
    if (question == FileQuestion::Open)
        return QFileDialog::getOpenFileName(this, tr("Open Drawing"), folder,
                                            tr("SVG drawing (*.svg *.svgz);;All files (*)"));
    QString path = QFileDialog::getSaveFileName(this, tr("Save Drawing As"), folder,
                                                tr("SVG drawing (*.svg)"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".svg");
    return path;
}

bool HostWindow::open()
{
    if (!maySetAside())
        return false;
    const QString path = chooseFile(FileQuestion::Open);
    if (path.isEmpty())
        return false;
    BuiltinHost &host = BuiltinHost::instance();
    const HostDocument::Ptr previous = doc;
    std::optional<Result<HostDocument::Ptr>> read;
    BusyWork::run(tr("Opening %1").arg(QFileInfo(path).fileName()),
                  [&read, &path] { read = SvgDocumentReader::read(path); });
    const Result<HostDocument::Ptr> &opened = *read;
    if (opened)
        host.setActiveDocument(*opened);
    if (!opened) {
        QMessageBox::warning(this, tr("Drawing"),
                             tr("Cannot open %1:\n%2").arg(path, opened.error()));
        return false;
    }
    showDocument(*opened);
    // One document at a time, as the user sees it: the one set aside is closed.
    if (previous)
        host.closeDocument(previous);
    const int count = doc ? doc->notes.size() : 0;
    showStep(count ? tr("Opened %1 (%2 note(s) from reading it)").arg(path).arg(count)
                   : tr("Opened %1").arg(path));
    return true;
}

bool HostWindow::save()
{
    if (!doc)
        return false;
    return doc->filePath.isEmpty() ? saveAs() : saveTo(doc->filePath);
}

bool HostWindow::saveAs()
{
    if (!doc)
        return false;
    const QString path = chooseFile(FileQuestion::SaveAs);
    return !path.isEmpty() && saveTo(path);
}

bool HostWindow::saveTo(const QString &path)
{
    const Result<> saved = BuiltinHost::instance().saveDocument(doc, path);
    if (!saved) {
        const QString error = saved.error();
        // The writer replaces the file only once all of it is written, so nothing was lost.
        showStep(tr("Not saved: %1").arg(error));
        QMessageBox::warning(this, tr("Drawing"),
                             tr("The drawing was not saved; %1 is as it was.\n%2")
                                 .arg(QFileInfo(path).fileName(), error));
        return false;
    }
    refreshNow();
    showStep(tr("Saved %1").arg(path));
    savedStepShown = true;
    return true;
}

bool HostWindow::maySetAside()
{
    if (!BuiltinHost::instance().isModified(doc))
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, tr("Drawing"), tr("Save the changes to %1?").arg(documentName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return save();
    return answer == QMessageBox::Discard;
}

void HostWindow::closeEvent(QCloseEvent *event)
{
    if (!maySetAside()) {
        event->ignore();
        return;
    }
    event->accept();
    if (doc)
        BuiltinHost::instance().closeDocument(doc);
}
