#include "FillObject.h"

#include "../AutomationMembers.h"

FillObject::FillObject(HostShape::Ptr shape)
    : BuiltinObject(QStringLiteral("Fill")), shape(std::move(shape))
{
    addMember(Member::ApplyNoFill, Returns::Nothing, [this](const QVariantList &) {
        this->shape->filled = false;
        return CallResult::none();
    });
}
