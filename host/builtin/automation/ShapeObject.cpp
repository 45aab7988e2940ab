#include "ShapeObject.h"

#include "../AutomationMembers.h"
#include "FillObject.h"
#include "OutlineObject.h"
#include "ShapeRanges.h"
#include "model/ShapeOperations.h"

HostShape::Ptr ShapeObject::alive(CallResult *failure) const
{
    HostShape::Ptr live = shape.lock();
    if (!live || !live->inDocument) {
        *failure = CallResult::failure(QStringLiteral("the shape is no longer in the document"));
        return nullptr;
    }
    return live;
}

ShapeObject::ShapeObject(HostDocument::Ptr document, const HostShape::Ptr &shape)
    : BuiltinObject(QStringLiteral("Shape")), doc(std::move(document)), shape(shape)
{
    // Each member answers from the live shape, so a deleted one is reported, never read.
    const auto withShape = [this](std::function<CallResult(const HostShape::Ptr &)> answer) {
        return [this, answer](const QVariantList &) {
            CallResult failure;
            const HostShape::Ptr target = alive(&failure);
            return target ? answer(target) : std::move(failure);
        };
    };
    addMember(Member::Fill, Returns::Object, withShape([](const HostShape::Ptr &target) {
                  return CallResult::of(std::make_unique<FillObject>(target));
              }));
    addMember(Member::Outline, Returns::Object, withShape([](const HostShape::Ptr &target) {
                  return CallResult::of(std::make_unique<OutlineObject>(target));
              }));
    addMember(Member::AddToSelection, Returns::Nothing,
              withShape([this](const HostShape::Ptr &target) {
                  doc->addToSelection(target);
                  return CallResult::none();
              }));
    addMember(Member::CenterX, Returns::Value, withShape([](const HostShape::Ptr &target) {
                  return CallResult::of(target->bounds().center().x());
              }));
    addMember(Member::CenterY, Returns::Value, withShape([](const HostShape::Ptr &target) {
                  return CallResult::of(target->bounds().center().y());
              }));
    addMember(Member::SizeWidth, Returns::Value, withShape([](const HostShape::Ptr &target) {
                  return CallResult::of(target->bounds().width());
              }));
    addMember(Member::SizeHeight, Returns::Value, withShape([](const HostShape::Ptr &target) {
                  return CallResult::of(target->bounds().height());
              }));
    addMember(Member::Delete, Returns::Nothing, withShape([this](const HostShape::Ptr &target) {
                  doc->removeShape(target);
                  return CallResult::none();
              }));
    addMember(
        Member::BreakApartEx, Returns::Object, withShape([this](const HostShape::Ptr &target) {
            const Result<QList<HostShape::Ptr>> pieces = ShapeOperations::breakApart(*doc, target);
            if (!pieces)
                return CallResult::failure(pieces.error());
            return CallResult::of(fixedShapeRange(doc, *pieces));
        }));
}
