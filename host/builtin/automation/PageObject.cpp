#include "PageObject.h"

#include "../AutomationMembers.h"
#include "LayerObject.h"
#include "LayersObject.h"
#include "ShapeRangeObject.h"

PageObject::PageObject(HostDocument::Ptr document, HostPage::Ptr page)
    : BuiltinObject(QStringLiteral("Page")), doc(std::move(document)), page(std::move(page))
{
    addMember(Member::SizeWidth, Returns::Value,
              [this](const QVariantList &) { return CallResult::of(this->page->widthInches); });
    addMember(Member::SizeHeight, Returns::Value,
              [this](const QVariantList &) { return CallResult::of(this->page->heightInches); });
    addMember(Member::Layers, Returns::Object, [this](const QVariantList &) {
        return CallResult::of(std::make_unique<LayersObject>(doc, this->page));
    });
    addMember(Member::CreateLayer, Returns::Object, [this](const QVariantList &arguments) {
        auto layer = std::make_shared<HostLayer>();
        layer->name = arguments.at(0).toString();
        this->page->layers.append(layer);
        return CallResult::of(std::make_unique<LayerObject>(doc, layer));
    });
    addMember(Member::SelectableShapes, Returns::Object, [this](const QVariantList &) {
        return CallResult::of(ShapeRangeObject::snapshot(doc, doc->selectableShapes()));
    });
}
