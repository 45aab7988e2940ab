#include "SvgDocumentWriter.h"

namespace SvgDocumentWriter {

QByteArray toSvg(const HostDocument &)
{
    return {};
}

bool write(const HostDocument &, const QString &, QString *error)
{
    *error = QStringLiteral("SVG documents are not available yet");
    return false;
}

} // namespace SvgDocumentWriter
