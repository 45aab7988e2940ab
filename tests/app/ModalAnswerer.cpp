#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

ModalAnswerer::ModalAnswerer(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

ModalAnswerer::~ModalAnswerer()
{
    qApp->removeEventFilter(this);
}

bool ModalAnswerer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto *dialog = qobject_cast<QDialog *>(watched);
    if (!dialog || !dialog->isModal())
        return false;
    // Posted to the dialog, so it runs once the dialog's own loop is running; a dialog closed
    // meanwhile is not answered twice.
    QPointer<QDialog> shown(dialog);
    QTimer::singleShot(0, dialog, [this, shown] {
        if (shown && shown->isVisible())
            answer(shown);
    });
    return false;
}

void ModalAnswerer::answer(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        const QString seen = box->windowTitle() + QLatin1Char('|') + box->text();
        qInfo("message box: %s", qUtf8Printable(seen));
        messages << seen;
        // Clicked, not just closed: the static message boxes report the button that was clicked.
        const QMessageBox::StandardButton choice =
            pick ? pick(box->windowTitle()) : QMessageBox::Ok;
        if (choice == QMessageBox::NoButton)
            return;
        if (QAbstractButton *button = box->button(choice))
            button->click();
        else
            box->done(choice);
    } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        dialogs << dialog->windowTitle();
        filters << dialog->nameFilters().join(QStringLiteral(";;"));
        // done() rather than accept(): the name goes back as typed, without the dialog's own
        // checks, as a user's choice of a folder that vanished before saving would.
        QDialog *asDialog = dialog;
        if (saveName.isEmpty()) {
            asDialog->done(QDialog::Rejected);
            return;
        }
        dialog->selectFile(saveName);
        asDialog->done(QDialog::Accepted);
    } else if (auto *other = qobject_cast<QDialog *>(modal)) {
        other->done(QDialog::Rejected);
    }
}
