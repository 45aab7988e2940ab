#pragma once
// Path data (the `d` attribute of <path>) read into an outline with no limit on its length: QtSvg
// stops at 32,767 segments, which would leave a traced cut line an open arc. Data that breaks off
// with an error keeps what came before it, as librsvg draws it. Coordinates are the element's
// own user units; arcs become cubic curves.

#include <QPainterPath>
#include <QString>

namespace SvgPathData {

QPainterPath parse(const QString &data);

} // namespace SvgPathData
