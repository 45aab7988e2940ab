#pragma once
// A page: its size in inches and its layers, 1-based for automation (Item(1) is layers.at(0)),
// drawn in list order.

#include "HostLayer.h"
#include "common/Units.h"

#include <QList>
#include <memory>

struct HostPage
{
    using Ptr = std::shared_ptr<HostPage>;

    double widthInches = mmToInches(210.0);  // > 0
    double heightInches = mmToInches(297.0); // > 0
    QList<HostLayer::Ptr> layers;
};
