// "Setup Print": the sheet printed through the host, or published as a PDF file.
#include "PluginMW.h"

#include "PluginMWForm.h"
#include "host/CdrConnection.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

void PluginMW::on_printOut_clicked()
{
    runCommand(form->printOut, [this](CdrConnection &connection) {
        Result<> done;
        if (form->publishToPDF->isChecked()) {
            // The layers are set for printing before the user is asked and stay so when they
            // cancel, as after a cancelled print dialog.
            done = connection.preparePrintLayers();
            if (done) {
                const QString name = askSaveName(
                    tr("SavePDF"), tr("PDF File(*.pdf);;All File(*.*)"), QStringLiteral("pdf"));
                // A cancelled dialog publishes nothing: no file, and no call on the host.
                if (name.isEmpty())
                    return;
                done = connection.publishPdf(name);
            }
        } else {
            done = connection.printDocument();
        }
        if (!done)
            QMessageBox::warning(this, tr("警告"), done.error());
    });
}
