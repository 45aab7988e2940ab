#include "ReplyText.h"

namespace ReplyText {

QString quoted(const QByteArray &reply, qint64 notKept)
{
    static const char Hex[] = "0123456789abcdef";
    const int shown = qMin(reply.size(), ShownBytes);
    QByteArray text = "\"";
    for (int i = 0; i < shown; ++i) {
        const unsigned char byte = static_cast<unsigned char>(reply.at(i));
        switch (byte) {
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\t':
            text += "\\t";
            break;
        case '"':
        case '\\':
            text += '\\';
            text += char(byte);
            break;
        default:
            if (byte >= 0x20 && byte < 0x7f) {
                text += char(byte);
            } else {
                text += "\\x";
                text += Hex[byte >> 4];
                text += Hex[byte & 0xf];
            }
        }
    }
    text += '"';
    const qint64 rest = reply.size() - shown + notKept;
    QString quotedText = QString::fromLatin1(text);
    if (rest > 0)
        quotedText += QStringLiteral("... (and %1 more bytes)").arg(rest);
    return quotedText;
}

} // namespace ReplyText
