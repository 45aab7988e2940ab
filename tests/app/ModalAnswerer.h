#pragma once
// Answers the window's modal dialogs the way a user would, so a test can click a command button
// whose slot opens a message box or a file dialog and blocks until it is closed. Message boxes
// are read and confirmed; a file dialog gets the name the test chose, or is cancelled when the
// name is empty.
//
// Each dialog is answered from its own Show event: the answer is posted to the dialog itself and
// runs in the dialog's own modal loop, so it reaches exactly the dialog that was shown, however
// slowly the machine runs. (Polling for the active modal widget raced with dialogs opening and
// closing on a loaded machine.) Every message box seen is also printed, so a failing row shows
// the text it met.

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    explicit ModalAnswerer(QObject *parent = nullptr);
    ~ModalAnswerer() override;

    QString saveName;     // the file name typed into a save dialog; empty: cancel it
    QStringList messages; // "title|text" of every message box, in order
    QStringList dialogs;  // window titles of every file dialog, in order
    QStringList filters;  // name filters of every file dialog, joined with ";;"
    // The button pressed on a message box with this title; unset: OK; NoButton: left open.
    std::function<QMessageBox::StandardButton(const QString &title)> pick;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void answer(QWidget *dialog);
};
