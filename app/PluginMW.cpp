#include "PluginMW.h"

#include "PluginMWForm.h"
#include "SettingsStore.h"
#include "host/CdrConnection.h"
#include "host/InProcessHost.h"
#include "link/UsbOperate.h"
#include "views/MarkView.h"
#include "views/PaperView.h"
#include "views/QPaintWidget.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTcpSocket>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int DragStripHeight = 10; // pixels at the top that move the frameless window

void endProcessNow(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace

PluginMW::PluginMW(QWidget *parent, const DataPaths &paths)
    : QMainWindow(parent), workDir(paths.workDir), qrJobsDir(paths.qrJobsDir),
      qrPageinfoDir(paths.qrPageinfoDir), pltPath(paths.pltPath), configPath(paths.configPath),
      form(new PluginMWForm), exitProcess(endProcessNow)
{
    form->setupForm(this);

    collapsedSize = QSize(341, 91);
    expandedSize = QSize(341, 621);
    setMinimumSize(collapsedSize);
    setMaximumSize(expandedSize);
    resize(collapsedSize);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(startPosition(screen->availableGeometry(), size()));

    form->ipAddress->hide();
    form->paintWidget->hide();
    form->configWidget->hide();
    form->horizontalMark->hide();

    connectPreviews();
    on_painter_configChanged();

    paths.createFolders();

    usb = new UsbOperate;
    refreshMachineList();
    connect(usb, &UsbOperate::devicesChanged, this, &PluginMW::refreshMachineList);

    if (QFileInfo::exists(configPath))
        loadSettings(*form, configPath);

    socket = new QTcpSocket;
    connect(socket, &QTcpSocket::readyRead, this, &PluginMW::on_socket_read);
}

PluginMW::~PluginMW()
{
    delete socket;
    delete usb;
    delete form;
}

void PluginMW::setExitFunction(ExitFunction exitFunction)
{
    exitProcess = std::move(exitFunction);
}

QPoint PluginMW::startPosition(const QRect &availableArea, const QSize &windowSize)
{
    return QPoint(availableArea.width() - windowSize.width() - 30, 30);
}

void PluginMW::addMachineNames(const QStringList &names)
{
    for (const QString &name : names) {
        if (form->macName->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            form->macName->addItem(name);
    }
}

void PluginMW::refreshMachineList()
{
    addMachineNames(usb->enumerateDevices());
    for (int i = 0; i < form->macName->count();) {
        if (usb->probe(form->macName->itemText(i)) == UsbOperate::DeviceState::Absent)
            form->macName->removeItem(i);
        else
            ++i;
    }
}

bool PluginMW::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    if (UsbOperate::isDeviceChangeMessage(eventType, message))
        refreshMachineList();
    // Passed on as unhandled, so the system's own handling of the message goes on.
    return QMainWindow::nativeEvent(eventType, message, result);
}

void PluginMW::connectPreviews()
{
    for (QDoubleSpinBox *spin :
         {form->topDspbx, form->leftDspbx, form->rightDspbx, form->bottomDspbx}) {
        connect(spin, SIGNAL(valueChanged(double)), this, SLOT(on_painter_configChanged()));
    }
    connect(form->horizontalMark, SIGNAL(stateChanged(int)), this,
            SLOT(on_painter_configChanged()));
    for (QDoubleSpinBox *spin :
         {form->markWidthDspbx, form->markHeightDspbx, form->markWeightDspbx}) {
        connect(spin, SIGNAL(valueChanged(double)), this, SLOT(on_painter_configChanged()));
    }
}

void PluginMW::mousePressEvent(QMouseEvent *event)
{
    if (event->x() < width() && event->y() < DragStripHeight)
        dragging = true;
    dragStartX = event->x();
    dragStartY = event->y();
    QMainWindow::mousePressEvent(event);
}

void PluginMW::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging)
        move(event->globalPos() - QPoint(dragStartX, dragStartY));
    QMainWindow::mouseMoveEvent(event);
}

void PluginMW::mouseReleaseEvent(QMouseEvent *event)
{
    dragging = false;
    QMainWindow::mouseReleaseEvent(event);
}

void PluginMW::closeEvent(QCloseEvent *event)
{
    // Where the drawing host runs in this process (the built-in host) its document window ends
    // with us; it asks about unsaved changes when closed, and a Cancel there keeps the whole
    // program open. A host in a process of its own has no window here and asks on its own.
    if (!InProcessHost::mayEnd()) {
        event->ignore();
        return;
    }
    if (const Result<> saved = saveSettings(*form, configPath); !saved) {
        // The user would otherwise find every choice of this run gone at the next start.
        QMessageBox::warning(this, tr("警告"),
                             tr("设置无法保存!") + QLatin1Char('\n') + saved.error());
    }
    event->accept();
    exitProcess(0);
}

void PluginMW::runCommand(QPushButton *button, const std::function<void(CdrConnection &)> &body)
{
    button->setEnabled(false);
    CdrConnection connection(form->cdrVersion->currentText());
    if (!connection.isConnected()) {
        button->setEnabled(true);
        QMessageBox::warning(this, tr("警告"),
                             tr("请确认CorelDraw安装并选择正确的CorelDraw版本..."));
        return;
    }
    body(connection);
    button->setEnabled(true);
}

void PluginMW::showPreviewPanel()
{
    if (!form->paintWidget->isHidden())
        return;
    resize(expandedSize);
    form->paintWidget->show();
    form->configWidget->hide();
}
