#include "HostWindow.h"

#include "BuiltinHost.h"
#include "HostPageView.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QVBoxLayout>

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

} // namespace

HostWindow::HostWindow(QWidget *parent)
    : QMainWindow(parent), page(new HostPageView), layers(new QListWidget),
      notesTitle(new QLabel(tr("Notes from reading the file"))), notes(new QListWidget)
{
    resize(700, 700);
    QMenu *file = menuBar()->addMenu(tr("&File"));
    connect(addFileAction(file, tr("&Open..."), "actionOpen", QStringLiteral("Ctrl+O")),
            &QAction::triggered, this, &HostWindow::open);
    connect(addFileAction(file, tr("&Save"), "actionSave", QStringLiteral("Ctrl+S")),
            &QAction::triggered, this, &HostWindow::save);
    connect(addFileAction(file, tr("Save &As..."), "actionSaveAs", QStringLiteral("Ctrl+Shift+S")),
            &QAction::triggered, this, &HostWindow::saveAs);

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
    refreshNow();
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
    page->setDocument(doc);
    layers->clear();
    layers->addItems(layerLines());
    notes->clear();
    if (doc)
        notes->addItems(doc->notes);
    notesTitle->setVisible(notes->count() > 0);
    notes->setVisible(notes->count() > 0);
    const bool modified = BuiltinHost::instance().isModified(doc);
    setWindowTitle(doc ? QStringLiteral("%1%2 - Drawing")
                             .arg(documentName(), modified ? QStringLiteral("*") : QString())
                       : QStringLiteral("Drawing"));
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
    const Result<HostDocument::Ptr> opened = host.openDocument(path);
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
    statusBar()->showMessage(count
                                 ? tr("Opened %1 (%2 note(s) from reading it)").arg(path).arg(count)
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
        statusBar()->showMessage(tr("Not saved: %1").arg(error));
        QMessageBox::warning(this, tr("Drawing"),
                             tr("The drawing was not saved; %1 is as it was.\n%2")
                                 .arg(QFileInfo(path).fileName(), error));
        return false;
    }
    statusBar()->showMessage(tr("Saved %1").arg(path));
    refreshNow();
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
