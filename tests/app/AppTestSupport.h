#pragma once
// Helpers shared by the window tests: a window on a temporary data folder that does not end the
// test process when closed, a watcher that answers message boxes as a user would, and mouse
// events delivered to whatever control lies under the point.

#include "app/PluginMW.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QIcon>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

class QAbstractButton;

// A window on its own data folder. Closing it records the exit status instead of ending.
struct TestWindow
{
    explicit TestWindow(const QString &dataFolder);
    std::unique_ptr<PluginMW> window;
    QList<int> exitStatuses;
    QStringList events; // "exit" and the watcher's "box" entries, in the order they happened
};

// Answers every modal message box that appears by pressing its first button, and records its
// title and text. Gives up after `limitMs` so no test can hang on a box.
class ModalWatcher : public QObject
{
public:
    explicit ModalWatcher(QStringList *events = nullptr, int limitMs = 10000);
    QStringList titles;
    QStringList texts;

private:
    void poll();
    QTimer timer;
    QElapsedTimer clock;
    QStringList *events;
    int limit;
};

// Writes `content` as the settings file of a data folder (creating the folder).
void writeSettingsFile(const QString &dataFolder, const QByteArray &content);

// Delivers a mouse event at window position `pos` to the control under it, as the platform
// would; unhandled events travel up to the window. `global` defaults to the mapped position.
void sendMouse(QWidget *window, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons held, QPoint global = QPoint(-1, -1));

// Clicks a check box on its box, where a user aims (wide boxes react only near their text).
void clickBox(QAbstractButton *box);

// True when the icon shows the image of the resource `path` at `side` pixels.
bool iconShows(const QIcon &icon, const QString &path, int side);
