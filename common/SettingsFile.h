#pragma once
// INI settings files changed whole or not at all. QSettings writes its file itself and would miss
// a failing last flush, so the change is made on a private copy (holding whatever else the file
// held), whose text then replaces the file through writeWholeFile: the old file stays on a full
// disk, and the failure names the file and the system's reason.

#include "common/Result.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <functional>

// Applies `edit` to the file at `path` (made, with its folder, when missing). `complete`, when
// given, checks the text to be written: QSettings' status still reports a damaged old file's
// format error after a good write.
Result<> editSettingsFile(const QString &path, const std::function<void(QSettings &)> &edit,
                          const std::function<bool(const QByteArray &)> &complete = {});

// One value of the file, read through a private copy too: a file replaced within the same
// millisecond at the same size would otherwise be answered from QSettings' cache of the old one.
QVariant settingsFileValue(const QString &path, const QString &key, const QVariant &fallback);
