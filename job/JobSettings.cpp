#include "JobSettings.h"

JobOptions toJobOptions(const JobSettings &settings, double exportScale)
{
    JobOptions options;
    options.autoSort = settings.autoSort;
    options.shortestOrder = settings.shortestOrder;
    options.knifeOffsetUnits = settings.knifeOffsetOn ? settings.knifeOffsetMm * UNITS_PER_MM : 0.0;
    options.overcutUnits = settings.overcutOn ? settings.overcutMm * UNITS_PER_MM : 0.0;
    options.dashUnits = settings.dashMm * UNITS_PER_MM;
    options.gapUnits = settings.gapMm * UNITS_PER_MM;
    options.exportScale = exportScale;
    options.realM2XMm = settings.realM2XMm;
    options.realM2YMm = settings.realM2YMm;
    return options;
}
