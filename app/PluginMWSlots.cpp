// The window's slots: the panel cycle, the small controls and the command buttons' frames.
#include "PluginMW.h"

#include "PluginMWForm.h"
#include "host/CdrConnection.h"
#include "job/JobFile.h"
#include "job/JobPreparation.h"
#include "job/JobSettings.h"
#include "link/CutterConversation.h"
#include "settings/Settings.h"
#include "views/MarkView.h"
#include "views/PaperView.h"
#include "views/QPaintWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTcpSocket>

namespace {

// The job settings of the settings panel as the engine takes them.
JobOptions jobOptionsOf(const PluginMWForm &form)
{
    JobSettings settings;
    settings.autoSort = form.autoSort->isChecked();
    settings.knifeOffsetOn = form.knifeOffsetChx->isChecked();
    settings.knifeOffsetMm = form.knifeOffsetDspbx->value();
    settings.overcutOn = form.closeOffsetChx->isChecked();
    settings.overcutMm = form.closeOffsetDspbx->value();
    settings.dashMm = form.posLen->value();
    settings.gapMm = form.negLen->value();
    settings.realM2XMm = form.realM2X->value();
    settings.realM2YMm = form.realM2Y->value();
    return toJobOptions(settings);
}

} // namespace

void PluginMW::on_painter_configChanged()
{
    PaperView *paper = form->paperView;
    MarkView *mark = form->markView;
    paper->markWidth = form->markWidthDspbx->value();
    mark->crossWidth = 2 * form->markWidthDspbx->value();
    paper->markHeight = form->markHeightDspbx->value();
    mark->crossHeight = 2 * form->markHeightDspbx->value();
    paper->markWeight = form->markWeightDspbx->value();
    mark->crossPen = 2 * form->markWeightDspbx->value();
    paper->topMargin = form->topDspbx->value();
    paper->leftMargin = form->leftDspbx->value();
    paper->rightMargin = form->rightDspbx->value();
    paper->bottomMargin = form->bottomDspbx->value();
    repaint();
}

void PluginMW::on_generateMark_clicked()
{
    runCommand(form->generateMark, [this](CdrConnection &connection) {
        MarkLayout layout;
        layout.topInches = form->topDspbx->value() / MM_PER_INCH;
        layout.bottomInches = form->bottomDspbx->value() / MM_PER_INCH;
        layout.leftInches = form->leftDspbx->value() / MM_PER_INCH;
        layout.rightInches = form->rightDspbx->value() / MM_PER_INCH;
        layout.markWidthInches = form->markWidthDspbx->value() / MM_PER_INCH;
        layout.markHeightInches = form->markHeightDspbx->value() / MM_PER_INCH;
        layout.markWeightInches = form->markWeightDspbx->value() / MM_PER_INCH;
        if (const Result<> done = connection.addMarks(layout); !done)
            QMessageBox::warning(this, tr("警告"), done.error());
    });
}

QString PluginMW::askSaveName(const QString &title, const QString &filter, const QString &suffix)
{
    const QString name = QFileDialog::getSaveFileName(this, title, QString(), filter);
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return name;
    return name + QLatin1Char('.') + suffix;
}

void PluginMW::on_saveAsFile_clicked()
{
    runCommand(form->saveAsFile, [this](CdrConnection &connection) {
        const Result<PreparedJob> job =
            prepareJob(connection, form->blankCut->isChecked(), jobOptionsOf(*form), pltPath);
        if (!job) {
            QMessageBox::warning(this, tr("警告"), job.error());
            return;
        }
        if (job->emptyCut)
            QMessageBox::warning(this, tr("警告"), JobMessage::emptyCut());
        const QString name = askSaveName(tr("SavePlt"), tr("HPGL File(*.plt);;All File(*.*)"),
                                         QStringLiteral("plt"));
        if (name.isEmpty())
            return;
        const Result<> saved = saveJobFile(name, job->text.joined());
        if (!saved)
            QMessageBox::warning(this, tr("警告"), saved.error());
    });
}

void PluginMW::on_configCenter_clicked()
{
    form->configCenter->setEnabled(false);
    const bool settingsHidden = form->configWidget->isHidden();
    const bool previewHidden = form->paintWidget->isHidden();
    if (settingsHidden && previewHidden) {
        resize(expandedSize);
        form->configWidget->show();
        form->paintWidget->hide();
    } else if (settingsHidden) {
        resize(collapsedSize);
        form->configWidget->hide();
        form->paintWidget->hide();
    } else if (previewHidden) {
        resize(expandedSize);
        form->configWidget->hide();
        form->paintWidget->show();
    }
    form->configCenter->setEnabled(true);
}

void PluginMW::on_sendToCutter_clicked()
{
    runCommand(form->sendToCutter, [this](CdrConnection &connection) {
        showPreviewPanel();
        const bool blank = form->blankCut->isChecked();
        const JobOptions options = jobOptionsOf(*form);
        Result<PreparedJob> prepared = prepareJob(connection, blank, options, pltPath);
        if (!prepared) {
            QMessageBox::warning(this, tr("警告"), prepared.error());
            return;
        }
        PreparedJob &job = *prepared;
        if (job.emptyCut)
            QMessageBox::warning(this, tr("警告"), JobMessage::emptyCut());
        form->paintWidget->paths = job.creasing + job.cutting;
        form->paintWidget->update();
        const auto answer = QMessageBox::information(
            this, tr("都准备好了吗?"),
            tr("请确认显示的切割效果是正确的.\n点击 'OK' 开始,或者\n点击 'Cancel' 调整切割参数."),
            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoButton);
        if (answer != QMessageBox::Ok)
            return;
        if (const Result<> reread = rereadPageSize(job, connection, blank, options); !reread) {
            QMessageBox::warning(this, tr("警告"), reread.error());
            return;
        }
        sendToCutter(
            SheetJob{job.text.header, job.text.markLine, job.text.body, job.text.trailer, blank});
    });
}

void PluginMW::on_minBtn_clicked()
{
    showMinimized();
}

void PluginMW::on_exitBtn_clicked()
{
    close();
}

void PluginMW::on_horizontalMark_stateChanged(int arg1)
{
    if (arg1 != 0)
        return;
    form->topDspbx->setValue(Setting::TopMargin.value);
    form->leftDspbx->setValue(Setting::LeftMargin.value);
    form->bottomDspbx->setValue(Setting::BottomMargin.value);
    form->rightDspbx->setValue(Setting::RightMargin.value);
}

void PluginMW::on_blankCut_stateChanged(int arg1)
{
    form->sendToCutter->setIcon(
        QIcon(arg1 ? QStringLiteral(":/png/BlankCutBtn.png") : QStringLiteral(":/png/CutBtn.png")));
}

void PluginMW::on_createEdge_stateChanged(int arg1)
{
    form->generateBoundary->setIcon(QIcon(arg1 ? QStringLiteral(":/png/OutlineBtn.png")
                                               : QStringLiteral(":/png/LayerBtn.png")));
}

void PluginMW::on_publishToPDF_stateChanged(int arg1)
{
    form->printOut->setIcon(QIcon(arg1 ? QStringLiteral(":/png/SavePdfBtn.png")
                                       : QStringLiteral(":/png/PrintBtn.png")));
}
