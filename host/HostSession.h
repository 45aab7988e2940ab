#pragma once
// The steps every CdrConnection operation shares: the opening steps (document, page, the layer
// active at the start, page size, the layers collection), finding and preparing working layers,
// and the closing steps. One session lives for one operation; nested operations open their own.
//
// Calls go through call()/read()/query(), which turn a host that answers nothing (a null object,
// an invalid value or an error text) into HostNoAnswer (HostNoAnswer.h, included only by the
// operations' sources). The operation catches it, still runs close() and returns the failure as
// a Result; nothing outside host/ sees the exception.

#include "AutomationMembers.h"
#include "AutomationObject.h"

#include <QString>
#include <QStringList>

class HostSession
{
public:
    // What the opening steps read besides document, page and the active layer.
    struct Opening
    {
        bool activeLayer = true; // query the layer active at the start
        bool layerName = true;   // read its name (to activate it again at the end)
        bool width = false;      // page width, inches
        bool height = false;     // page height, inches
        bool layers = true;      // the page's layers collection and its count
    };

    explicit HostSession(AutomationObject &application);

    static AutomationHandle query(AutomationObject &object, const char *signature,
                                  const QVariantList &args = {});
    static void call(AutomationObject &object, const char *signature,
                     const QVariantList &args = {});
    static QVariant read(AutomationObject &object, const char *signature,
                         const QVariantList &args = {});
    static double readDouble(AutomationObject &object, const char *signature);
    // A call the host may refuse with a reason of its own (a folder without permission, a full
    // disk, a page it cannot draw): the user is told that reason in `what`'s %1, instead of
    // the host-not-answering text.
    static void callExplained(AutomationObject &object, const char *signature,
                              const QVariantList &args, const QString &what);

    void open(const Opening &opening);
    // Closing steps; never fails, skips what the opening steps did not reach.
    void close(bool restoreLayer) noexcept;

    // Exact, case-sensitive search over Item(1..count), one pass per name.
    bool findLayer(const QString &name);
    // Layers Find(name): the named layer's object.
    AutomationHandle layerByName(const QString &name);
    // Empties a found working layer (activate, unlock, delete its shapes) or creates it.
    AutomationHandle prepareLayer(const QString &name, bool found);

    // Something the user may want to know although the operation succeeded (a refused setting).
    void note(const QString &text) { remarks << text; }
    const QStringList &notes() const { return remarks; }

    AutomationObject &application() { return applicationObject; }
    AutomationObject &document() { return *documentHandle; }
    AutomationObject &page() { return *pageHandle; }
    AutomationObject &layers() { return *layersHandle; }
    int layerCount() const { return layerTotal; }
    double pageWidthInches() const { return widthInches; }
    double pageHeightInches() const { return heightInches; }

private:
    AutomationObject &applicationObject;
    AutomationHandle documentHandle;
    AutomationHandle pageHandle;
    AutomationHandle activeLayer;
    AutomationHandle layersHandle;
    QString savedName;
    QStringList remarks;
    int layerTotal = 0;
    double widthInches = 0;
    double heightInches = 0;
};
