#include "JobSettings.h"

JobOptions toJobOptions(const JobSettings &settings, double exportScale)
{
    JobOptions options;
    options.autoSort = settings.autoSort;
    options.shortestOrder = settings.shortestOrder;
    options.knifeOffset = settings.knifeOffsetOn ? settings.knifeOffsetMm * UNITS_PER_MM : 0.0;
    options.overcut = settings.overcutOn ? settings.overcutMm * UNITS_PER_MM : 0.0;
    options.dash = settings.dashMm * UNITS_PER_MM;
    options.gap = settings.gapMm * UNITS_PER_MM;
    options.exportScale = exportScale;
    options.realM2X = settings.realM2XMm;
    options.realM2Y = settings.realM2YMm;
    return options;
}
