#include "SvgDocumentReader.h"

namespace SvgDocumentReader {

HostDocument::Ptr read(const QString &, QString *error)
{
    *error = QStringLiteral("SVG documents are not available yet");
    return nullptr;
}

HostDocument::Ptr readData(const QByteArray &, const QString &, QString *error)
{
    *error = QStringLiteral("SVG documents are not available yet");
    return nullptr;
}

} // namespace SvgDocumentReader
