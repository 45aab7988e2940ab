#pragma once
// A saved job file (what "Save As *.plt" and `cutjob sheet --job` write: header, mark line,
// body and trailer joined) split back into the pieces the conversation sends one at a time.

#include "common/Result.h"
#include "link/CutterConversation.h"

#include <QByteArray>
#include <QString>

// Splits `text` into its pieces; fails with a message saying what is wrong when the text is not
// one job (another HPGL file, a truncated save, two jobs run together). Line breaks after the
// trailer, as an editor may add, are dropped. Taken by value: a text nobody else holds becomes
// the body in place, so a job of 100 MB is not held twice.
Result<SheetJob> splitSavedJob(QByteArray text);

// A job file read whole and checked against the job grammar (paths/JobCheck.h), so that `send`
// and `preview` refuse the same files with the same message, naming the file and where the
// first fault lies.
Result<QByteArray> readSavedJob(const QString &path);

// Why `head` (a file's first bytes) cannot start a saved job, or an empty text: checked before
// the rest of a file is read.
QString savedJobHeadProblem(const QByteArray &head);
