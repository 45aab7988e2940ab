#pragma once
// Answers the window's modal dialogs the way a user would, so a test can click a command button
// whose slot opens a message box or a file dialog and blocks until it is closed. Message boxes
// are read and confirmed; a file dialog gets the name the test chose, or is cancelled when the
// name is empty. A dialog that cannot be answered is closed after a bounded number of tries, so
// a test never hangs in a modal loop.

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    explicit ModalAnswerer(QObject *parent = nullptr);

    QString saveName;     // the file name typed into a save dialog; empty: cancel it
    QStringList messages; // "title|text" of every message box, in order
    QStringList dialogs;  // window titles of every file dialog, in order
    QStringList filters;  // name filters of every file dialog, joined with ";;"
    // The button pressed on a message box with this title; unset: OK.
    std::function<QMessageBox::StandardButton(const QString &title)> pick;

private slots:
    void answer();

private:
    QTimer timer;
};
