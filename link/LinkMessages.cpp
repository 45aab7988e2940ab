#include "LinkMessages.h"

namespace LinkMessage {
const QString WarningTitle = QStringLiteral("警告");
const QString NoticeTitle = QStringLiteral("提示");
const QString PaperOut = QStringLiteral("缺纸!");
const QString BadAddress = QStringLiteral("IP地址格式错误!");
const QString ConnectTimeout = QStringLiteral("连接超时!");
const QString ConnectionLost = QStringLiteral("与切割机的连接已断开!");
const QString NoCutter = QStringLiteral("未连接切割机!");
const QString NoPermission = QStringLiteral("切割机无法打开, 请检查USB权限!");
const QString Stopped = QStringLiteral("已停止切割!");
const QString StopAfterSheet = QStringLiteral("将于本张切割结束后停止, 请等待...");
} // namespace LinkMessage
