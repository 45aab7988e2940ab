#include "LayerObject.h"

#include "../AutomationMembers.h"
#include "ShapeObject.h"
#include "ShapeRangeObject.h"

LayerObject::LayerObject(HostDocument::Ptr document, HostLayer::Ptr layer)
    : BuiltinObject(QStringLiteral("Layer")), doc(std::move(document)), layer(std::move(layer))
{
    addMember(Member::Name, Returns::Value,
              [this](const QVariantList &) { return CallResult::of(this->layer->name); });
    addMember(Member::Activate, Returns::Nothing, [this](const QVariantList &) {
        doc->activeLayer = this->layer;
        return CallResult::none();
    });
    addMember(Member::SetEditable, Returns::Nothing, [this](const QVariantList &arguments) {
        this->layer->editable = arguments.at(0).toBool();
        return CallResult::none();
    });
    addMember(Member::SetVisible, Returns::Nothing, [this](const QVariantList &arguments) {
        this->layer->visible = arguments.at(0).toBool();
        return CallResult::none();
    });
    addMember(Member::SetPrintable, Returns::Nothing, [this](const QVariantList &arguments) {
        this->layer->printable = arguments.at(0).toBool();
        return CallResult::none();
    });
    addMember(Member::Printable, Returns::Value,
              [this](const QVariantList &) { return CallResult::of(this->layer->printable); });
    addMember(Member::Editable, Returns::Value,
              [this](const QVariantList &) { return CallResult::of(this->layer->editable); });
    addMember(Member::Shapes, Returns::Object, [this](const QVariantList &) {
        return CallResult::of(ShapeRangeObject::layerShapes(doc, this->layer));
    });
    addMember(Member::CreateLineSegment, Returns::Object, [this](const QVariantList &arguments) {
        QPainterPath path(QPointF(arguments.at(0).toDouble(), arguments.at(1).toDouble()));
        path.lineTo(arguments.at(2).toDouble(), arguments.at(3).toDouble());
        return CallResult::of(std::make_unique<ShapeObject>(doc, doc->addShape(this->layer, path)));
    });
}
