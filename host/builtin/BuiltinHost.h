#pragma once
// The built-in drawing host: lives for the whole process, as a running drawing application
// outlives each command's connection, so a fresh application object finds the document the last
// one left. Tests reach the document directly through this class and can make a program
// identifier unavailable or wrap the application objects it hands out. Its window follows it
// through the signals below; the host only makes, shows and hides it (BuiltinHostWindow.cpp).

#include "../AutomationObject.h"
#include "common/Result.h"
#include "common/Units.h"
#include "model/HostDocument.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

class HostWindow;

class BuiltinHost : public QObject
{
    Q_OBJECT
public:
    static BuiltinHost &instance();

    // Setting::CdrVersion's choices answer unless made unavailable.
    bool isProgramIdAvailable(const QString &programId) const;
    void setProgramIdAvailable(const QString &programId, bool available);

    // Documents: the active one may be nullptr (no document open).
    HostDocument::Ptr activeDocument() const { return active; }
    HostDocument::Ptr createDocument(double widthInches = mmToInches(210.0),
                                     double heightInches = mmToInches(297.0));
    void setActiveDocument(const HostDocument::Ptr &document);
    // Opens an SVG file as a new active document, or says why it cannot.
    Result<HostDocument::Ptr> openDocument(const QString &svgPath);
    // Saves a document as SVG, whole or not at all (a failed save leaves the file as it was).
    Result<> saveDocument(const HostDocument::Ptr &document, const QString &svgPath);
    void closeAllDocuments();
    // Drops one document (its window closed); another open one becomes active, if any.
    void closeDocument(const HostDocument::Ptr &document);

    // Unsaved changes: whether saving would write anything other than what the document was
    // opened from or last saved as. Commands change a document through many automation objects,
    // so the host compares what a save would write instead of trusting each change to report.
    bool isModified(const HostDocument::Ptr &document) const;
    // The same from the text SvgDocumentWriter made of the document just now.
    bool isModified(const HostDocument::Ptr &document, const QByteArray &svg) const;
    // A document may have changed (every automation call says so): documentEdited() tells the
    // window, which redraws and updates its unsaved mark once the running command gives control
    // back to the event loop.
    void documentChanged();

    // Application state set through automation.
    bool visible() const { return isVisible; }
    void setVisible(bool on);
    bool optimization() const { return optimizing; }
    void setOptimization(bool on) { optimizing = on; }
    int refreshCount() const { return refreshes; }
    void refresh();

    // Whether SetVisible(true) may show a window: on by default only when a QApplication runs
    // on a platform with a screen; cutjob turns it off for the whole process.
    static void setWindowAllowed(bool allowed);
    static void useDefaultWindowPolicy();
    static bool windowAllowed();
    HostWindow *window() const { return hostWindow; }

    // Print dialog answer used instead of a real dialog (tests, batch runs); none shows the dialog.
    void setPrintDialogAnswer(std::function<bool()> answer) { printAnswer = std::move(answer); }
    const std::function<bool()> &printDialogAnswer() const { return printAnswer; }

    // Tests wrap each application object the factory makes, to record the calls made through
    // it; the program itself never sets a wrapper.
    using ApplicationWrapper = std::function<AutomationHandle(AutomationHandle)>;
    void setApplicationWrapper(ApplicationWrapper wrapper) { appWrapper = std::move(wrapper); }
    const ApplicationWrapper &applicationWrapper() const { return appWrapper; }

    // Back to a fresh host, as a restart leaves it: no documents, every identifier available,
    // hooks cleared.
    void reset();

signals:
    // The active document was replaced, saved or refreshed (nullptr: none): show it now.
    void activeDocumentUpdated(const HostDocument::Ptr &active);
    // A document may have changed; redraw once the event loop runs again.
    void documentEdited();
    // Long work on the document starts and ends (BusyWork): `step` names it for the user.
    void workStarted(const QString &step);
    void workFinished(const QString &step);

private:
    BuiltinHost();
    void deleteWindow();
    void markSaved(const HostDocument &document);
    HostDocument::Ptr active;
    QList<HostDocument::Ptr> documents;
    QSet<QString> unavailable;
    bool isVisible = false;
    bool optimizing = false;
    int refreshes = 0;
    std::function<bool()> printAnswer;
    ApplicationWrapper appWrapper;
    HostWindow *hostWindow = nullptr;
    // A digest of what saving each open document wrote or would have written when it was
    // opened, created or last saved.
    QHash<const HostDocument *, QByteArray> savedDigest;
};
