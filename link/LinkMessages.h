#pragma once
// What the cutter link tells the user, shown by the window under its title and printed by
// cutjob. Warnings carry the title "警告", notices "提示". Each text is looked up in the
// translation in force (context "LinkMessage") when it is asked for.

#include <QString>

namespace LinkMessage {
QString warningTitle();   // "警告"
QString noticeTitle();    // "提示"
QString paperOut();       // the reply to the paper check said out of paper
QString badAddress();     // the typed address is no dotted IPv4 address
QString connectTimeout(); // no TCP connection within 1000 ms
QString connectionLost(); // unplugged or disconnected while waiting for the cutter
QString noCutter();       // no cutter chosen, or the chosen one is gone
QString noPermission();   // the cutter is attached but we may not open it
QString stopped();        // a second stop request ended the job at once
QString stopAfterSheet(); // the first stop request: the sheet is finished first
} // namespace LinkMessage
