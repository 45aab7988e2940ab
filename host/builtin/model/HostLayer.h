#pragma once
// A layer of a page: its name (case-sensitive), whether it prints, whether its shapes can be
// selected and edited, and its shapes in drawing order (first is drawn first).

#include "HostShape.h"
#include "svg/SvgSpan.h"

#include <QList>
#include <QString>
#include <QTransform>
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

    // Where the layer is in its SVG file and what it was there, so that saving rewrites only the
    // attributes that changed. A layer standing for the elements outside any layer has no tags;
    // shapes added to a layer go in at `insertAt`. Not in a file: a layer made here.
    struct Source
    {
        bool inFile = false;
        SvgSpan startTag;
        int insertAt = -1;
        bool selfClosing = false; // an empty layer written as one tag
        QTransform contentToUser; // the frame of its children to the root's user units
        QString name;
        bool printable = true;
        bool editable = true;
        bool visible = true;
    } source;
};
