#include "SendDialog.h"

#include "link/LinkMessages.h"
#include "views/QPaintWidget.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The window's texts, under its translation context, so a translation of the window covers them.
QString windowText(const char *text)
{
    return QCoreApplication::translate("PluginMW", text);
}

QString stopNotice()
{
    return LinkMessage::stopAfterSheet();
}

} // namespace

SendDialog::SendDialog(const CutPathList &paths, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(windowText("都准备好了吗?"));
    auto *layout = new QVBoxLayout(this);
    preview = new QPaintWidget(this);
    preview->setObjectName(QStringLiteral("paintWidget"));
    // The window's preview panel is 321 x 521; a dialog of its own may be larger.
    preview->setMinimumSize(321, 421);
    preview->paths = paths;
    layout->addWidget(preview, 1);
    question = new QLabel(
        windowText(
            "请确认显示的切割效果是正确的.\n点击 'OK' 开始,或者\n点击 'Cancel' 调整切割参数."),
        this);
    layout->addWidget(question);
    answer = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (QAbstractButton *button : answer->buttons())
        static_cast<QPushButton *>(button)->setAutoDefault(false); // no default button
    connect(answer, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(answer, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(answer);
    progress = new QLabel(this);
    progress->hide();
    layout->addWidget(progress);
    stopButton = new QPushButton(QStringLiteral("■"), this);
    stopButton->setObjectName(QStringLiteral("stopBtn"));
    stopButton->setToolTip(windowText("停止"));
    stopButton->hide();
    connect(stopButton, &QPushButton::clicked, this, &SendDialog::requestStop);
    layout->addWidget(stopButton, 0, Qt::AlignRight);
}

bool SendDialog::confirm()
{
    if (qEnvironmentVariableIntValue(AutoConfirmVariable) == 1)
        QTimer::singleShot(0, this, &QDialog::accept);
    return exec() == QDialog::Accepted;
}

SendOutcome SendDialog::send(CutterConversation &conversation, int count, int &remaining)
{
    question->hide();
    answer->hide();
    progress->show();
    stopButton->show();
    show();
    conversation.onProgress = [this](int sheet, const QString &event) {
        // The stop notice stays until the run ends: the user should not have to press again.
        progress->setText(QStringLiteral("Sheet %1: %2").arg(sheet).arg(event) +
                          (keepGoing ? QString() : QLatin1Char('\n') + stopNotice()));
    };
    running = &conversation;
    keepGoing = true;
    remaining = count;
    const SendOutcome outcome =
        count < 0 ? conversation.runSheet()
                  : conversation.runSheets({[&remaining] { return remaining; },
                                            [&remaining](int n) { remaining = n; },
                                            [this] { return keepGoing; }});
    running = nullptr;
    conversation.onProgress = nullptr;
    hide();
    return outcome;
}

void SendDialog::reject()
{
    if (running)
        requestStop();
    else
        QDialog::reject();
}

void SendDialog::requestStop()
{
    if (!running || running->requestStop())
        return;
    keepGoing = false;
    progress->setText(progress->text() + QLatin1Char('\n') + stopNotice());
}
