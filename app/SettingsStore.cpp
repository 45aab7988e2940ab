#include "SettingsStore.h"

#include "PluginMWForm.h"
#include "common/SettingsFile.h"
#include "settings/WindowSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSettings>

namespace {

// A damaged file read before writing leaves a format error in the status even when the new
// file is written well, and that error would hide a later access error. Settings objects of one
// file share a cache, so look at the bytes written instead.
bool writtenCompletely(const QByteArray &text)
{
    const int group = text.indexOf('[' + QByteArray(Setting::WindowGroup) + ']');
    if (group < 0)
        return false;
    for (const SettingKey &key : Setting::keysOf(Setting::WindowGroup)) {
        if (text.indexOf('\n' + QByteArray(key.name) + '=', group) < 0)
            return false;
    }
    return true;
}

} // namespace

void loadSettings(PluginMWForm &form, const QString &configPath)
{
    const WindowSettings s = readWindowSettings(configPath);
    form.ipAddress->setText(s.ipAddress);
    form.blankCut->setChecked(s.blankCut);
    form.cdrVersion->setCurrentIndex(form.cdrVersion->findText(s.cdrVersion));
    form.posLen->setValue(s.posLenMm);
    form.negLen->setValue(s.negLenMm);
    form.knifeOffsetChx->setChecked(s.knifeOffsetOn);
    form.knifeOffsetDspbx->setValue(s.knifeOffsetMm);
    form.closeOffsetChx->setChecked(s.closeOffsetOn);
    form.closeOffsetDspbx->setValue(s.closeOffsetMm);
    form.autoSort->setChecked(s.autoSort);
    form.conSend->setChecked(s.conSend);
    form.createEdge->setChecked(s.createEdge);
    form.publishToPDF->setChecked(s.publishToPDF);
    if (s.useRJ45)
        form.useRJ45->click();
}

Result<> saveSettings(const PluginMWForm &form, const QString &configPath)
{
    return editSettingsFile(
        configPath,
        [&form](QSettings &settings) {
            const auto write = [&settings](const auto &setting, const QVariant &value) {
                settings.setValue(setting.key.path(), value);
            };
            write(Setting::IpAddress, form.ipAddress->text());
            write(Setting::TopMargin, form.topDspbx->value());
            write(Setting::LeftMargin, form.leftDspbx->value());
            write(Setting::BottomMargin, form.bottomDspbx->value());
            write(Setting::RightMargin, form.rightDspbx->value());
            write(Setting::HorizontalMark, form.horizontalMark->isChecked());
            write(Setting::BlankCut, form.blankCut->isChecked());
            write(Setting::MarkWidth, form.markWidthDspbx->value());
            write(Setting::MarkHeight, form.markHeightDspbx->value());
            write(Setting::MarkWeight, form.markWeightDspbx->value());
            write(Setting::CdrVersion, form.cdrVersion->currentText());
            write(Setting::PosLen, form.posLen->value());
            write(Setting::NegLen, form.negLen->value());
            write(Setting::KnifeOffsetOn, form.knifeOffsetChx->isChecked());
            write(Setting::KnifeOffset, form.knifeOffsetDspbx->value());
            write(Setting::CloseOffsetOn, form.closeOffsetChx->isChecked());
            write(Setting::CloseOffset, form.closeOffsetDspbx->value());
            write(Setting::AutoSort, form.autoSort->isChecked());
            write(Setting::ConSend, form.conSend->isChecked());
            write(Setting::CreateEdge, form.createEdge->isChecked());
            write(Setting::PublishToPdf, form.publishToPDF->isChecked());
            write(Setting::UseRj45, form.useRJ45->isChecked());
        },
        writtenCompletely);
}
