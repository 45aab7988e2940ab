#pragma once
// The built-in host's own trace of failed automation calls. Each failure already reaches its
// caller (errorText()), which tells the user in its own words; the trace is for a developer and
// stays off unless asked for: QT_LOGGING_RULES="vexa.host.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(builtinHostLog)
