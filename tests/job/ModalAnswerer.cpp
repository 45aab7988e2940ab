#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer(QObject *parent) : QObject(parent)
{
    connect(&timer, &QTimer::timeout, this, &ModalAnswerer::answer);
    timer.start(10);
}

void ModalAnswerer::answer()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        messages << box->windowTitle() + QLatin1Char('|') + box->text();
        // Clicked, not just closed: the static message boxes report the button that was clicked.
        const QMessageBox::StandardButton choice =
            pick ? pick(box->windowTitle()) : QMessageBox::Ok;
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
