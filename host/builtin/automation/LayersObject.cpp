#include "LayersObject.h"

#include "../AutomationMembers.h"
#include "LayerObject.h"

LayersObject::LayersObject(HostDocument::Ptr document, HostPage::Ptr page)
    : BuiltinObject(QStringLiteral("Layers")), doc(std::move(document)), page(std::move(page))
{
    addMember(Member::Count, Returns::Value,
              [this](const QVariantList &) { return CallResult::of(this->page->layers.size()); });
    addMember(Member::Item, Returns::Object, [this](const QVariantList &arguments) {
        const int index = arguments.at(0).toInt();
        if (index < 1 || index > this->page->layers.size())
            return CallResult::failure(QStringLiteral("index %1 is outside 1 to %2")
                                           .arg(index)
                                           .arg(this->page->layers.size()));
        return CallResult::of(std::make_unique<LayerObject>(doc, this->page->layers.at(index - 1)));
    });
    addMember(Member::Find, Returns::Object, [this](const QVariantList &arguments) {
        const QString name = arguments.at(0).toString();
        for (const HostLayer::Ptr &layer : this->page->layers) {
            if (layer->name == name)
                return CallResult::of(std::make_unique<LayerObject>(doc, layer));
        }
        return CallResult::of(
            std::make_unique<NullObject>(QStringLiteral("no layer named \"%1\"").arg(name)));
    });
}
