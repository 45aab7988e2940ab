#include "LinkMessages.h"

#include <QCoreApplication>

namespace LinkMessage {

QString warningTitle()
{
    return QCoreApplication::translate("LinkMessage", "警告");
}

QString noticeTitle()
{
    return QCoreApplication::translate("LinkMessage", "提示");
}

QString paperOut()
{
    return QCoreApplication::translate("LinkMessage", "缺纸!");
}

QString badAddress()
{
    return QCoreApplication::translate("LinkMessage", "IP地址格式错误!");
}

QString connectTimeout()
{
    return QCoreApplication::translate("LinkMessage", "连接超时!");
}

QString connectionLost()
{
    return QCoreApplication::translate("LinkMessage", "与切割机的连接已断开!");
}

QString noCutter()
{
    return QCoreApplication::translate("LinkMessage", "未连接切割机!");
}

QString noPermission()
{
    return QCoreApplication::translate("LinkMessage", "切割机无法打开, 请检查USB权限!");
}

QString stopped()
{
    return QCoreApplication::translate("LinkMessage", "已停止切割!");
}

QString stopAfterSheet()
{
    return QCoreApplication::translate("LinkMessage", "将于本张切割结束后停止, 请等待...");
}

} // namespace LinkMessage
