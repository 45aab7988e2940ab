#pragma once
// The companion window: a frameless, always-on-top tool bar beside the drawing application. It
// owns every control (PluginMWForm), the previews and the cutter socket, moves by its top
// strip, cycles collapsed / settings panel / preview panel, and keeps its settings file.

#include "common/Units.h"
#include "link/ReplyBuffer.h"
#include "link/TcpCutterPort.h"
#include "settings/DataPaths.h"

#include <QByteArray>
#include <QMainWindow>
#include <QSize>
#include <functional>

class CdrConnection;
class CutterConversation;
class CutterPort;
class PluginMWForm;
class QPushButton;
class QTcpSocket;
class UsbOperate;
struct SheetJob;

class PluginMW : public QMainWindow
{
    Q_OBJECT

public:
    // `paths` is where the settings and working files live; tests pass a temporary folder.
    explicit PluginMW(QWidget *parent = nullptr,
                      const DataPaths &paths = DataPaths::forThisPlatform());
    ~PluginMW() override;

    // How the process ends after the settings are written at close. The default ends it at once
    // with the given status, so no wait for the host or the cutter can hold it up; tests
    // replace it so the test runner survives.
    using ExitFunction = std::function<void(int status)>;
    void setExitFunction(ExitFunction exitFunction);

    // Appends each name that the machine list does not hold yet (exact, case-sensitive); the
    // USB enumeration feeds it.
    void addMachineNames(const QStringList &names);
    // The machine list follows the attached cutters: new ones appended, gone ones removed. Run
    // at start-up and whenever a cutter is plugged in or out. It never changes the device of a
    // running job, and a cutter busy with our own transfer, or one we may not open, stays.
    void refreshMachineList();

    // The TCP port of the cutter; TcpCutterPort::DefaultPort for the user, another one for a
    // test's simulated cutter.
    void setCutterPort(quint16 port) { cutterPort = port; }
    // Pauses of the cutter conversation (poll, marks-not-found); tests shorten them.
    void setConversationTiming(int pollMs, int markRetryPauseMs);

    // Top-left corner for a window of `windowSize` on a screen's available area: 30 pixels from
    // the top and from the right, measured with the area's width (not its right edge).
    static QPoint startPosition(const QRect &availableArea, const QSize &windowSize);

    PluginMWForm *controls() const { return form; }

    const QString workDir;
    const QString qrJobsDir;
    const QString qrPageinfoDir;
    const QString pltPath;    // working plot file the host exports into
    const QString configPath; // settings file
    // The window's names for the program-wide units (the members shadow the global names).
    static constexpr double MM_PER_INCH = ::MM_PER_INCH;
    static constexpr double UNITS_PER_MM = ::UNITS_PER_MM; // plotter units per millimetre

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;

private slots:
    void on_socket_read();
    void on_painter_configChanged();
    void on_generateMark_clicked();
    void on_generateBoundary_clicked();
    void on_printOut_clicked();
    void on_saveAsFile_clicked();
    void on_configCenter_clicked();
    void on_sendToCutter_clicked();
    void on_minBtn_clicked();
    void on_exitBtn_clicked();
    void on_horizontalMark_stateChanged(int arg1);
    void on_blankCut_stateChanged(int arg1);
    void on_createEdge_stateChanged(int arg1);
    void on_publishToPDF_stateChanged(int arg1);
    void on_stopBtn_clicked();
    void on_useRJ45_clicked(bool checked);

private:
    // The frame every command runs in: its button disabled while it runs, a fresh connection to
    // the host version chosen in `cdrVersion`, the warning when that host cannot be reached.
    void runCommand(QPushButton *button, const std::function<void(CdrConnection &)> &body);
    // A save dialog's answer, with `.suffix` added to a typed name that has none, as the
    // Windows dialogs do; empty when cancelled.
    QString askSaveName(const QString &title, const QString &filter, const QString &suffix);
    void connectPreviews();
    void showPreviewPanel();
    // The conversation part of "Send to Cutter", once the user has confirmed the job.
    void sendToCutter(const SheetJob &job);
    void sendOverUsb(const SheetJob &job, bool continuous);
    void sendOverTcp(const SheetJob &job, bool continuous);
    void converse(CutterPort &port, bool overUsb, const SheetJob &job, bool continuous);
    void warn(const QString &text);

    QSize collapsedSize;
    QSize expandedSize;
    int dragStartX = 0;
    int dragStartY = 0;
    bool dragging = false;
    UsbOperate *usb = nullptr;
    PluginMWForm *form = nullptr;
    QTcpSocket *socket = nullptr;
    quint16 cutterPort = TcpCutterPort::DefaultPort;
    ReplyBuffer socketBuffer; // what arrived on `socket` since the latest send, bounded
    bool sending = false;     // an Auto-Next run is in progress
    ExitFunction exitProcess;
    CutterConversation *conversation = nullptr; // the running one, for the stop button
    int pollMs = 500;
    int markRetryPauseMs = 3000;
};
