#pragma once
// The built-in host's own window: the document its automation works on, as the drawing
// application shows it: the page, its layers with their states, and what reading the file noted.
// A user opens, saves and saves as SVG here, so that what the companion's commands did to the
// sheet can be seen at once and kept. Shown by SetVisible(true) only where there is a screen.
//
// It follows the host: the document shown, its changes and the long work on it come as the
// host's signals. Its tool bar holds "Cut margin (mm)", how far "Create Boundary" grows each
// island, however the command is started (kept in the host's settings); its View menu zooms the
// page and switches the cut lines, the crease lines and the mark zones on and off. The status
// bar tells the last step, the running one with its progress, and whether the document differs
// from its file.
//
// Closing the window closes its document, after asking about unsaved changes (Save, Discard,
// Cancel); the companion closes it first when it ends, so a Cancel keeps the whole program open.

#include "common/Result.h"
#include "model/HostDocument.h"

#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <functional>

class HostPageView;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QProgressBar;

class HostWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit HostWindow(QWidget *parent = nullptr);

    // Shows this document (nullptr: an empty window) and redraws at once.
    void showDocument(const HostDocument::Ptr &document);
    // Redraws once control returns to the event loop, however many calls asked for it meanwhile.
    void scheduleRefresh();

    // The layer list beside the page, top layer first: name, then what is unusual about it
    // ("hidden", "locked", "not printing") and the number of shapes.
    QStringList layerLines() const;

    // Answers the file dialogs of Open and Save As instead of showing them when set (tests):
    // the chosen path, or empty for a cancelled dialog.
    enum class FileQuestion
    {
        Open,
        SaveAs
    };
    void setFileChooser(std::function<QString(FileQuestion)> chooser)
    {
        fileChooser = std::move(chooser);
    }

    // The File menu. Each answers false when the user cancelled or it failed; a failure has
    // been told to the user.
    bool open();
    bool save();
    bool saveAs();
    // Asks whether to save unsaved changes; true when the document may be set aside.
    bool maySetAside();

    HostPageView *pageView() const { return page; }
    // The notes on art in the mark zones now shown ("art under the top-left mark").
    QStringList markNotes() const;

    // The host tells the window when long work on the document starts and ends: the step shows
    // in the status bar and the page keeps its last picture until the work is done.
    void workStarted(const QString &step);
    void workFinished(const QString &step);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void refreshNow();
    void buildViewMenu();
    void buildToolBar();
    void buildStatusBar();
    void showStep(const QString &step);
    // A setting that could not be written is said in the status line; the choice still holds
    // for this run.
    void keepSetting(const Result<> &written);
    void showProgress();
    bool saveTo(const QString &path);
    QString chooseFile(FileQuestion question);
    QString documentName() const;

    HostDocument::Ptr doc;
    HostPageView *page;
    QListWidget *layers;
    QLabel *notesTitle;
    QListWidget *notes;
    QLabel *markNoteLabel;
    QDoubleSpinBox *cutMargin = nullptr;
    QLabel *stepLabel = nullptr;
    QLabel *unsavedLabel = nullptr;
    QProgressBar *progress = nullptr;
    QTimer refreshTimer;
    QTimer progressTimer;
    bool savedStepShown = false;
    std::function<QString(FileQuestion)> fileChooser;
};
