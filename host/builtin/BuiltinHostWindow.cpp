// The host's part in its window: SetVisible makes it on first showing, shows and hides it, and a
// reset deletes it. Everything else the window learns from the host's signals.
#include "BuiltinHost.h"
#include "HostWindow.h"

void BuiltinHost::setVisible(bool on)
{
    isVisible = on;
    if (!on || !windowAllowed()) {
        if (hostWindow)
            hostWindow->hide();
        return;
    }
    if (!hostWindow) {
        hostWindow = new HostWindow();
        // The drawing stays open as long as the program does; closing its window ends nothing.
        hostWindow->setAttribute(Qt::WA_QuitOnClose, false);
    }
    hostWindow->showDocument(active);
    hostWindow->show();
}

void BuiltinHost::deleteWindow()
{
    delete hostWindow;
    hostWindow = nullptr;
}
