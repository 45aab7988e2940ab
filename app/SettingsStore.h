#pragma once
// The window's settings file: an INI file with one group, Setting::WindowGroup. The controls hold
// the live values; the file is read into them once at start-up and written from them at close.

#include "common/Result.h"

#include <QString>

class PluginMWForm;

// Reads the keys that are restored into the controls (readWindowSettings). `useRJ45` true
// clicks the box as a user would, which swaps the machine list for the address field. The
// margin and mark keys are written but never read: those controls are fixed.
void loadSettings(PluginMWForm &form, const QString &configPath);

// Writes every key of the window's group from the controls and flushes the file. Fails, naming the
// file, when it could not be written completely.
Result<> saveSettings(const PluginMWForm &form, const QString &configPath);
