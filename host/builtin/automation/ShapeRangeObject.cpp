#include "ShapeRangeObject.h"

#include "../AutomationMembers.h"
#include "BusyWork.h"
#include "CommandChoice.h"
#include "ShapeObject.h"
#include "ShapeRanges.h"
#include "model/ShapeOperations.h"
#include "outline/BleedFringe.h"
#include "outline/BoundaryBuilder.h"

#include <QCoreApplication>
#include <optional>

namespace {

// The print bleed around a boundary just made, none without one (a fringe left from an earlier
// boundary would print around what is no longer cut); what stops it is a note, the boundary
// stands.
void addBleed(HostDocument &doc, const QList<HostShape::Ptr> &art,
              const Result<HostShape::Ptr> &boundary, double bleed)
{
    const QList<QPolygonF> contours =
        boundary ? (*boundary)->path.toSubpathPolygons() : QList<QPolygonF>();
    if (const Result<> made = BleedFringe::apply(doc, art, contours, bleed); !made) {
        const QString note =
            QStringLiteral("the print bleed cannot be made (%1)").arg(made.error());
        if (!doc.notes.contains(note))
            doc.notes << note;
    }
}

} // namespace

AutomationHandle ShapeRangeObject::layerShapes(HostDocument::Ptr document, HostLayer::Ptr layer)
{
    Source source = [layer]() { return layer->shapes; };
    return AutomationHandle(
        new ShapeRangeObject(QStringLiteral("Shapes"), std::move(document), std::move(source)));
}

AutomationHandle ShapeRangeObject::snapshot(HostDocument::Ptr document, QList<HostShape::Ptr> list)
{
    Source source = [list]() {
        QList<HostShape::Ptr> alive;
        for (const HostShape::Ptr &shape : list) {
            if (shape->inDocument)
                alive.append(shape);
        }
        return alive;
    };
    return AutomationHandle(
        new ShapeRangeObject(QStringLiteral("ShapeRange"), std::move(document), std::move(source)));
}

AutomationHandle fixedShapeRange(HostDocument::Ptr document, QList<HostShape::Ptr> shapes)
{
    return ShapeRangeObject::snapshot(std::move(document), std::move(shapes));
}

AutomationHandle ShapeRangeObject::selection(HostDocument::Ptr document)
{
    HostDocument *raw = document.get();
    auto *range = new ShapeRangeObject(QStringLiteral("Selection"), std::move(document),
                                       [raw]() { return raw->selection(); });
    range->isSelection = true;
    return AutomationHandle(range);
}

ShapeRangeObject::ShapeRangeObject(const QString &kind, HostDocument::Ptr document, Source source)
    : BuiltinObject(kind), doc(std::move(document)),
      // Every member sees only shapes that draw something: Count and Item are how a layer's
      // marks are read back, and the box, stretch, boundary and Delete must agree with them.
      shapes([source = std::move(source)]() { return HostDocument::drawnShapes(source()); })
{
    addQueryMembers();
    addEditMembers();
}

void ShapeRangeObject::addQueryMembers()
{
    addMember(Member::Count, Returns::Value,
              [this](const QVariantList &) { return CallResult::of(shapes().size()); });
    addMember(Member::Item, Returns::Object, [this](const QVariantList &arguments) {
        const QList<HostShape::Ptr> list = shapes();
        const int index = arguments.at(0).toInt();
        if (index < 1 || index > list.size())
            return CallResult::failure(
                QStringLiteral("index %1 is outside 1 to %2").arg(index).arg(list.size()));
        return CallResult::of(std::make_unique<ShapeObject>(doc, list.at(index - 1)));
    });
    addMember(Member::All, Returns::Object,
              [this](const QVariantList &) { return CallResult::of(snapshot(doc, shapes())); });
    const auto box = [this]() { return HostDocument::boundsOf(shapes()); };
    addMember(Member::CenterX, Returns::Value,
              [box](const QVariantList &) { return CallResult::of(box().center().x()); });
    addMember(Member::CenterY, Returns::Value,
              [box](const QVariantList &) { return CallResult::of(box().center().y()); });
    addMember(Member::SizeWidth, Returns::Value,
              [box](const QVariantList &) { return CallResult::of(box().width()); });
    addMember(Member::SizeHeight, Returns::Value,
              [box](const QVariantList &) { return CallResult::of(box().height()); });
}

void ShapeRangeObject::addEditMembers()
{
    addMember(Member::Delete, Returns::Nothing, [this](const QVariantList &) {
        for (const HostShape::Ptr &shape : shapes())
            doc->removeShape(shape);
        return CallResult::none();
    });
    addMember(Member::AddToSelection, Returns::Nothing, [this](const QVariantList &) {
        for (const HostShape::Ptr &shape : shapes())
            doc->addToSelection(shape);
        return CallResult::none();
    });
    addMember(Member::Combine, Returns::Object, [this](const QVariantList &) {
        const Result<HostShape::Ptr> combined = ShapeOperations::combine(*doc, shapes());
        if (!combined)
            return CallResult::failure(combined.error());
        return CallResult::of(std::make_unique<ShapeObject>(doc, *combined));
    });
    addMember(Member::Stretch, Returns::Nothing, [this](const QVariantList &arguments) {
        const double factor = arguments.at(0).toDouble();
        if (Result<> stretched = ShapeOperations::stretch(*doc, shapes(), factor, factor);
            !stretched)
            return CallResult::failure(stretched.error());
        return CallResult::none();
    });
    // The two numbers place the boundary in the drawing application and are 0, 0 for "where the
    // shapes are", the only use made of them; the built-in host always leaves it in place.
    addMember(Member::CreateBoundary, Returns::Object, [this](const QVariantList &arguments) {
        std::optional<Result<HostShape::Ptr>> made;
        const QList<HostShape::Ptr> sources = shapes();
        const bool deleteSource = arguments.at(3).toBool();
        const double offset = CommandChoice::boundaryOffsetInches();
        const double bleed = CommandChoice::bleedInches();
        BusyWork::run(QCoreApplication::translate("HostWindow", "Creating the cut boundary"), [&] {
            made = BoundaryBuilder::create(*doc, sources, deleteSource, offset);
            addBleed(*doc, sources, *made, bleed);
        });
        const Result<HostShape::Ptr> &boundary = *made;
        if (!boundary) {
            // The drawing application answers Nothing when there is no area to outline.
            return CallResult::of(std::make_unique<NullObject>(boundary.error()));
        }
        return CallResult::of(std::make_unique<ShapeObject>(doc, *boundary));
    });
}
