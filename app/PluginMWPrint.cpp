// "Setup Print": the sheet printed through the host, or published as a PDF file.
#include "PluginMW.h"

#include "PluginMWForm.h"
#include "host/CdrConnection.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

void PluginMW::on_printOut_clicked()
{
    runCommand(form->printOut, [this](CdrConnection &connection) {
        bool ok = true;
        if (form->publishToPDF->isChecked()) {
            // The layers are set for printing before the user is asked and stay so when they
            // cancel, as after a cancelled print dialog.
            ok = connection.preparePrintLayers();
            if (ok) {
                const QString name = QFileDialog::getSaveFileName(
                    this, tr("SavePDF"), QString(), tr("PDF File(*.pdf);;All File(*.*)"));
                // A cancelled dialog publishes nothing: no file, and no call on the host.
                if (name.isEmpty())
                    return;
                ok = connection.publishPdf(name);
            }
        } else {
            ok = connection.printDocument();
        }
        if (!ok)
            QMessageBox::warning(this, tr("警告"), connection.errorText());
    });
}
