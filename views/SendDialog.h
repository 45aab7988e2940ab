#pragma once
// "Send to Cutter" for a drawing that lives in another program (Inkscape): a small window with
// the cut-path preview and the window's question "都准备好了吗?", then each sheet's progress
// with a stop button that means what the window's means: the first press stops after the sheet
// being cut, the second at once.

#include "link/CutterConversation.h"
#include "paths/CutPath.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QPaintWidget;
class QPushButton;

class SendDialog : public QDialog
{
    Q_OBJECT

public:
    // Set to 1 in the environment, the question answers OK by itself: for tests that run the
    // whole command where nobody can click (Inkscape under Xvfb).
    static constexpr const char *AutoConfirmVariable = "VX_SEND_DIALOG_AUTOCONFIRM";

    explicit SendDialog(const CutPathList &paths, QWidget *parent = nullptr);

    // Shows the preview and the question; true when the user answered OK.
    bool confirm();
    // Runs the conversation with the progress showing. `count` < 0: one sheet; else an
    // Auto-Next run of `count` sheets, and `remaining` ends with the sheets not cut.
    SendOutcome send(CutterConversation &conversation, int count, int &remaining);

    QPaintWidget *preview = nullptr;
    QLabel *question = nullptr;
    QDialogButtonBox *answer = nullptr;
    QLabel *progress = nullptr;
    QPushButton *stopButton = nullptr;

protected:
    // Closing the window while the cutter works is a stop request, not a way to leave it.
    void reject() override;

private:
    void requestStop();

    CutterConversation *running = nullptr;
    bool keepGoing = true;
};
