#pragma once
// A sheet saved into another folder keeps its pictures: every relative link of an <image> is
// rewritten so that it names the same file from the new folder. Links that are absolute, URLs
// with a scheme (data:, file:, http:) or fragments stay as they are.

#include <QByteArray>
#include <QString>

namespace SvgLinkRebase {

// The SVG text with its pictures' relative links moved from `fromFolder` to `toFolder`; the
// same bytes when there is nothing to rewrite.
QByteArray rebased(const QByteArray &svg, const QString &fromFolder, const QString &toFolder);

} // namespace SvgLinkRebase
