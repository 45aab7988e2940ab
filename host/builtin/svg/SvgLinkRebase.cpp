#include "SvgLinkRebase.h"

#include "SvgStartTag.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace {

// An <image> start tag, quoted values taken whole so that a '>' inside one does not end it.
const QRegularExpression
    ImageTag(QStringLiteral("<(?:[\\w.-]+:)?image\\b(?:[^>\"']|\"[^\"]*\"|'[^']*')*>"));

// The link as written in the new folder; empty when it stays as it is.
QString moved(const QString &raw, const QDir &from, const QDir &to)
{
    const QString link = QString(raw).replace(QLatin1String("&amp;"), QLatin1String("&"));
    const QUrl url(link);
    if (link.isEmpty() || link.startsWith(QLatin1Char('#')) || !url.isRelative() ||
        QDir::isAbsolutePath(link))
        return {};
    const QString file = QDir::cleanPath(from.absoluteFilePath(url.path()));
    QString relative = to.relativeFilePath(file);
    if (relative == url.path())
        return {};
    relative = QString::fromUtf8(QUrl::toPercentEncoding(relative, "/!$'()*+,;=:@-._~"));
    return SvgStartTag::escaped(relative);
}

} // namespace

namespace SvgLinkRebase {

QByteArray rebased(const QByteArray &svg, const QString &fromFolder, const QString &toFolder)
{
    const QDir from(fromFolder), to(toFolder);
    if (from.absolutePath() == to.absolutePath())
        return svg;
    const QString text = QString::fromUtf8(svg);
    QString out;
    int copied = 0;
    for (auto it = ImageTag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString tag = match.captured();
        for (const char *name : {"xlink:href", "href"}) {
            bool found = false;
            const QString link =
                moved(SvgStartTag::value(tag, QLatin1String(name), &found), from, to);
            if (found && !link.isEmpty())
                tag = SvgStartTag::set(tag, QLatin1String(name), link);
        }
        if (tag == match.captured())
            continue;
        out += text.midRef(copied, match.capturedStart() - copied);
        out += tag;
        copied = match.capturedEnd();
    }
    if (copied == 0)
        return svg;
    out += text.midRef(copied);
    return out.toUtf8();
}

} // namespace SvgLinkRebase
