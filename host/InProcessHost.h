#pragma once
// What the command line and the companion's window reach of a drawing host that runs in this
// process (the built-in host): the sheet a batch command works on, the choices its automation
// has no argument for, and whether the companion may end while the host's window is open. Where
// no host runs in this process (Windows, the drawing application in a process of its own) only
// mayEnd() exists; the sheet subcommands that need the rest are not built there.

#include "common/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace InProcessHost {

// Batch commands never show the host's window, whatever the platform offers.
void keepWindowHidden();

// Opens an SVG sheet as the active document; answers what reading it noted (pictures left out,
// unknown elements), or why it cannot be opened.
Result<QStringList> openSheet(const QString &svgPath);
// What the host noted on the active document so far (empty without one); operations append.
QStringList sheetNotes();
// Saves the active document as SVG, whole or not at all.
Result<> saveSheet(const QString &svgPath);
// The active document as saving it would write it.
QByteArray sheetSvg();
// Art under the active document's marks, one line per mark zone ("art under the top-left mark").
QStringList artUnderMarks();

// Whether the companion may end: the host's window, where one shows, asks about unsaved changes
// and closes; false when the user chose to keep it (Cancel). Always true without such a window.
bool mayEnd();

// The choices of one command that the drawing application's automation has no argument for.
// Unset ones are the host's own (its window's "Cut margin (mm)" and "Print bleed (mm)").
struct CommandChoices
{
    std::optional<double> boundaryOffsetInches; // how far CreateBoundary grows each island
    std::optional<double> bleedInches;          // how far it runs the print on past each contour
    QString printFile;                          // PrintOut writes this PDF instead of printing
};

// Holds `choices` for the calls made while it lives, then puts back what held before: a command
// keeps one on its stack around the calls, so the choice cannot outlive it.
class ScopedChoices
{
public:
    explicit ScopedChoices(CommandChoices choices);
    ~ScopedChoices();
    ScopedChoices(const ScopedChoices &) = delete;
    ScopedChoices &operator=(const ScopedChoices &) = delete;

private:
    CommandChoices previous;
};

} // namespace InProcessHost
