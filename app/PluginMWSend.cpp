// "Send to Cutter" once the user has confirmed the job: the transport the settings panel chose,
// the cutter check before the first byte, a single sheet or an Auto-Next run, the stop button.
// The conversation itself lives in link/, shared with `cutjob send`.
#include "PluginMW.h"

#include "PluginMWForm.h"
#include "link/CutterConversation.h"
#include "link/LinkMessages.h"
#include "link/TcpCutterPort.h"
#include "link/UsbOperate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpSocket>

void PluginMW::setConversationTiming(int poll, int markRetryPause)
{
    pollMs = poll;
    markRetryPauseMs = markRetryPause;
}

void PluginMW::on_socket_read()
{
    // Gathered, not replaced: a reply may arrive in pieces, and only the whole of it tells.
    socketBuffer.appendFrom(*socket);
}

void PluginMW::on_stopBtn_clicked()
{
    // A second request while the cutter is still awaited ends the job now; the send command
    // then says so. Without it a peer that never answers would hold the send for ever.
    if (conversation && conversation->requestStop())
        return;
    sending = false;
    // Opened, not executed: this slot runs inside the conversation's wait, and a box that held
    // the event loop here would hold the sheet too, the cutter's replies unanswered until the
    // user closed it.
    auto *notice = new QMessageBox(QMessageBox::Information, tr("提示"),
                                   tr("将于本张切割结束后停止, 请等待..."), QMessageBox::Ok, this);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->open();
}

void PluginMW::on_useRJ45_clicked(bool checked)
{
    form->macName->setVisible(!checked);
    form->ipAddress->setVisible(checked);
}

void PluginMW::warn(const QString &text)
{
    form->sendToCutter->setEnabled(true);
    QMessageBox::warning(this, tr("警告"), text);
}

void PluginMW::sendToCutter(const SheetJob &job)
{
    const bool continuous = form->conSend->isChecked();
    // The send button is disabled while a job runs, so only a programmatic click gets here
    // during a run; it must not start a second conversation on the same port.
    if (continuous && sending)
        return;
    if (form->useRJ45->isChecked())
        sendOverTcp(job, continuous);
    else
        sendOverUsb(job, continuous);
}

void PluginMW::sendOverUsb(const SheetJob &job, bool continuous)
{
    const QString name = form->macName->currentText();
    const UsbOperate::DeviceState state =
        name.isEmpty() ? UsbOperate::DeviceState::Absent : usb->probe(name);
    if (state == UsbOperate::DeviceState::NoPermission) {
        warn(LinkMessage::noPermission());
        return;
    }
    if (state == UsbOperate::DeviceState::Absent) {
        warn(LinkMessage::noCutter());
        return;
    }
    usb->setDevice(name);
    converse(*usb, true, job, continuous);
}

void PluginMW::sendOverTcp(const SheetJob &job, bool continuous)
{
    const QString address = form->ipAddress->text();
    if (!TcpCutterPort::isValidAddress(address)) {
        warn(LinkMessage::badAddress());
        return;
    }
    TcpCutterPort port(*socket, socketBuffer, address, cutterPort);
    if (!port.connectToCutter()) {
        warn(LinkMessage::connectTimeout());
        return;
    }
    converse(port, false, job, continuous);
    port.close();
}

void PluginMW::converse(CutterPort &port, bool overUsb, const SheetJob &job, bool continuous)
{
    CutterConversation talk(
        port, overUsb ? CutterConversation::Transport::Usb : CutterConversation::Transport::Tcp,
        job);
    talk.setTiming({pollMs, markRetryPauseMs});
    conversation = &talk;
    SendOutcome outcome;
    if (continuous) {
        sending = true;
        outcome = talk.runSheets({[this] { return form->sendCount->value(); },
                                  [this](int count) { form->sendCount->setValue(count); },
                                  [this] { return sending; }});
    } else {
        outcome = talk.runSheet();
    }
    conversation = nullptr;
    sending = false;
    form->sendToCutter->setEnabled(true);
    const OutcomeMessage message = messageFor(outcome);
    if (message.text.isEmpty())
        return;
    if (outcome == SendOutcome::Stopped)
        QMessageBox::information(this, tr("提示"), message.text);
    else
        QMessageBox::warning(this, tr("警告"), message.text);
}
