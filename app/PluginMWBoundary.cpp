// "Create Boundary": the cut contours around the artwork, or just the layer to draw them on.
#include "PluginMW.h"

#include "PluginMWForm.h"
#include "host/CdrConnection.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

void PluginMW::on_generateBoundary_clicked()
{
    runCommand(form->generateBoundary, [this](CdrConnection &connection) {
        const Result<> done = form->createEdge->isChecked() ? connection.createCutBoundary()
                                                            : connection.ensureCuttingLayer();
        if (!done)
            QMessageBox::warning(this, tr("警告"), done.error());
    });
}
