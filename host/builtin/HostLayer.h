#pragma once
// A layer of a page: its name (case-sensitive), whether it prints, whether its shapes can be
// selected and edited, and its shapes in drawing order (first is drawn first).

#include "HostShape.h"

#include <QList>
#include <QString>
#include <memory>

struct HostLayer
{
    using Ptr = std::shared_ptr<HostLayer>;

    QString name;
    bool printable = true;
    bool editable = true;
    bool visible = true;
    QList<HostShape::Ptr> shapes;
    QString svgId; // the id attribute of the layer's group when the document came from SVG
};
