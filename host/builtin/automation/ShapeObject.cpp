#include "ShapeObject.h"

#include "../AutomationMembers.h"
#include "FillObject.h"
#include "OutlineObject.h"
#include "ShapeRangeObject.h"
#include "model/ShapeOperations.h"

HostShape::Ptr ShapeObject::alive(CallResult *failure) const
{
    HostShape::Ptr s = shape.lock();
    if (!s || !s->inDocument) {
        *failure = CallResult::failure(QStringLiteral("the shape is no longer in the document"));
        return nullptr;
    }
    return s;
}

ShapeObject::ShapeObject(HostDocument::Ptr document, const HostShape::Ptr &shape)
    : BuiltinObject(QStringLiteral("Shape")), doc(std::move(document)), shape(shape)
{
    // Each member answers from the live shape, so a deleted one is reported, never read.
    const auto withShape = [this](std::function<CallResult(const HostShape::Ptr &)> f) {
        return [this, f](const QVariantList &) {
            CallResult failure;
            const HostShape::Ptr s = alive(&failure);
            return s ? f(s) : std::move(failure);
        };
    };
    addMember(Member::Fill, Returns::Object, withShape([](const HostShape::Ptr &s) {
                  return CallResult::of(std::make_unique<FillObject>(s));
              }));
    addMember(Member::Outline, Returns::Object, withShape([](const HostShape::Ptr &s) {
                  return CallResult::of(std::make_unique<OutlineObject>(s));
              }));
    addMember(Member::AddToSelection, Returns::Nothing, withShape([this](const HostShape::Ptr &s) {
                  doc->addToSelection(s);
                  return CallResult::none();
              }));
    addMember(Member::CenterX, Returns::Value, withShape([](const HostShape::Ptr &s) {
                  return CallResult::of(s->bounds().center().x());
              }));
    addMember(Member::CenterY, Returns::Value, withShape([](const HostShape::Ptr &s) {
                  return CallResult::of(s->bounds().center().y());
              }));
    addMember(Member::SizeWidth, Returns::Value, withShape([](const HostShape::Ptr &s) {
                  return CallResult::of(s->bounds().width());
              }));
    addMember(Member::SizeHeight, Returns::Value, withShape([](const HostShape::Ptr &s) {
                  return CallResult::of(s->bounds().height());
              }));
    addMember(Member::Delete, Returns::Nothing, withShape([this](const HostShape::Ptr &s) {
                  doc->removeShape(s);
                  return CallResult::none();
              }));
    addMember(Member::BreakApartEx, Returns::Object, withShape([this](const HostShape::Ptr &s) {
                  const Result<QList<HostShape::Ptr>> pieces = ShapeOperations::breakApart(*doc, s);
                  if (!pieces)
                      return CallResult::failure(pieces.error());
                  return CallResult::of(ShapeRangeObject::snapshot(doc, *pieces));
              }));
}
