#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QMouseEvent>
#include <QtTest>

TestWindow::TestWindow(const QString &dataFolder)
    : window(new PluginMW(nullptr, DataPaths::inFolder(dataFolder)))
{
    window->setExitFunction([this](int status) {
        exitStatuses << status;
        events << QStringLiteral("exit");
    });
}

ModalWatcher::ModalWatcher(QStringList *events, int limitMs) : events(events), limit(limitMs)
{
    connect(&timer, &QTimer::timeout, this, &ModalWatcher::poll);
    timer.start(10);
    clock.start();
}

void ModalWatcher::poll()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (box && !box->buttons().isEmpty()) {
        titles << box->windowTitle();
        texts << box->text();
        if (events)
            events->append(QStringLiteral("box"));
        box->buttons().first()->click();
    } else if (clock.elapsed() > limit) {
        timer.stop();
    }
}

void writeSettingsFile(const QString &dataFolder, const QByteArray &content)
{
    QDir().mkpath(dataFolder);
    QFile file(DataPaths::inFolder(dataFolder).configPath);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

void sendMouse(QWidget *window, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons held, QPoint global)
{
    QWidget *target = window->childAt(pos);
    if (!target)
        target = window;
    if (global == QPoint(-1, -1))
        global = window->mapToGlobal(pos);
    const QPointF local = target->mapFromGlobal(global);
    QMouseEvent event(type, local, local, QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void clickBox(QAbstractButton *box)
{
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
}

bool iconShows(const QIcon &icon, const QString &path, int side)
{
    const QImage shown = icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage expected =
        QIcon(path).pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
    return !expected.isNull() && shown == expected;
}
