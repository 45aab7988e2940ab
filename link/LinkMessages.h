#pragma once
// What the cutter link tells the user, shown by the window under its title and printed by
// cutjob. Warnings carry the title "警告", notices "提示".

#include <QString>

namespace LinkMessage {
extern const QString WarningTitle;   // "警告"
extern const QString NoticeTitle;    // "提示"
extern const QString PaperOut;       // the reply to the paper check said out of paper
extern const QString BadAddress;     // the typed address is no dotted IPv4 address
extern const QString ConnectTimeout; // no TCP connection within 1000 ms
extern const QString ConnectionLost; // unplugged or disconnected while waiting for the cutter
extern const QString NoCutter;       // no cutter chosen, or the chosen one is gone
extern const QString NoPermission;   // the cutter is attached but we may not open it
extern const QString Stopped;        // a second stop request ended the job at once
extern const QString StopAfterSheet; // the first stop request: the sheet is finished first
} // namespace LinkMessage
