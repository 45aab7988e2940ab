// "Setup Print": the sheet printed through the host, or published as a PDF file.
#include "PluginMW.h"

#include "PluginMWForm.h"
#include "host/CdrConnection.h"

#include <QPushButton>

void PluginMW::on_printOut_clicked()
{
    runCommand(form->printOut, [](CdrConnection &) {});
}
