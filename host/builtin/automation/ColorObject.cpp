#include "ColorObject.h"

#include "../AutomationMembers.h"

ColorObject::ColorObject(HostShape::Ptr shape)
    : BuiltinObject(QStringLiteral("Color")), shape(std::move(shape))
{
    addMember(Member::CMYKAssign, Returns::Nothing, [this](const QVariantList &arguments) {
        Cmyk cmyk{};
        for (int i = 0; i < 4; ++i) {
            cmyk[i] = arguments.at(i).toInt();
            if (cmyk[i] < 0 || cmyk[i] > 100)
                return CallResult::failure(
                    QStringLiteral("colour component %1 is outside 0 to 100").arg(cmyk[i]));
        }
        this->shape->outlineCmyk = cmyk;
        return CallResult::none();
    });
}
