#include "OutlineObject.h"

#include "../AutomationMembers.h"
#include "ColorObject.h"

#include <cmath>

OutlineObject::OutlineObject(HostShape::Ptr shape)
    : BuiltinObject(QStringLiteral("Outline")), shape(std::move(shape))
{
    addMember(Member::SetWidth, Returns::Nothing, [this](const QVariantList &arguments) {
        const double width = arguments.at(0).toDouble();
        // Wider than a page makes no sense for an outline and hints at millimetres passed.
        if (width < 0.0 || width > 10.0)
            return CallResult::failure(
                QStringLiteral("outline width %1 in is outside 0 to 10 inches").arg(width));
        this->shape->outlineWidthInches = width;
        this->shape->outlined = true;
        return CallResult::none();
    });
    addMember(Member::Color, Returns::Object, [this](const QVariantList &) {
        return CallResult::of(std::make_unique<ColorObject>(this->shape));
    });
}
