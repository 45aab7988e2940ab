// "Create Boundary": the cut contours around the artwork, or just the layer to draw them on.
#include "PluginMW.h"

#include "PluginMWForm.h"
#include "host/CdrConnection.h"

#include <QPushButton>

void PluginMW::on_generateBoundary_clicked()
{
    runCommand(form->generateBoundary, [](CdrConnection &) {});
}
